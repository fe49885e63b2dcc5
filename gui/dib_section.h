#ifndef GUI_DIB_SECTION_H
#define GUI_DIB_SECTION_H

#include <stdint.h>
#include <windows.h>

// The header of every DIB of the program: 32-bit, bottom-up (positive
// height), BI_RGB, 3000 pixels per metre both ways; the layout in which
// images keep their pixels.
BITMAPINFO dib_info(int32_t width, int32_t height);

// A DIB section of width x height with that header. Null when GDI refuses
// it or the size is not positive; *bits receives the first stored row (the
// bottom row).
HBITMAP create_dib_section(HDC dc, int32_t width, int32_t height, uint32_t** bits);

// A DIB section selected into a memory device context of its own, for work
// on pixels beside a canvas: made compatible with a canvas's device context,
// both freed on destruction.
class cDibSurface {
public:
    cDibSurface() : dc(nullptr), bitmap(nullptr), previous(nullptr), bits(nullptr), width(0), height(0) {}
    ~cDibSurface();
    cDibSurface(const cDibSurface&) = delete;
    cDibSurface& operator=(const cDibSurface&) = delete;

    // False when the memory device context or the section cannot be made.
    bool Create(HDC compatible, int32_t surface_width, int32_t surface_height);
    // The pixel at column x of row y counted from the top.
    uint32_t* Row(int32_t y) { return bits + size_t(height - 1 - y) * size_t(width); }

    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ previous;
    uint32_t* bits;
    int32_t width;
    int32_t height;
};

#endif
