#ifndef GUI_IMAGE_BUFFER_H
#define GUI_IMAGE_BUFFER_H

#include <stdint.h>

#include "base/buffers/typebuf.h"

// A picture of 32-bit pixels 0xAARRGGBB (bytes B, G, R, A), rows stored
// bottom-up without padding, as in a bottom-up DIB. Consistent when the
// block holds exactly width x height pixels; scaling refuses anything else.
struct cImageBuffer {
    cImageBuffer() : width(0), height(0) {}
    cImageBuffer(const cImageBuffer&) = delete;
    cImageBuffer& operator=(const cImageBuffer&) = delete;

    void Init();
    uint32_t* GetPixels() { return pixels.Data(); }
    const uint32_t* GetPixels() const { return pixels.Data(); }
    int32_t GetWidth() const { return width; }
    int32_t GetHeight() const { return height; }
    uint32_t GetPixelCount() const { return uint32_t(pixels.Count()); }
    bool IsConsistent() const;

    // Takes the block (the holder gets this buffer's old one, then frees it).
    bool Attach(_typebuf<uint32_t>& block, int32_t new_width, int32_t new_height);
    // A new pixel count gives zeroed pixels; an equal count keeps them.
    bool Resize(int32_t new_width, int32_t new_height);
    bool SetPixels(const uint32_t* source, int32_t source_width, int32_t source_height, bool flip);
    bool Fill(uint32_t colour, int32_t new_width, int32_t new_height);

    // A fresh, uninitialised block of count pixels handed to block (which
    // frees what it held); false, and block unchanged, for a count of zero,
    // one beyond what 32-bit sizes can express, or a refused allocation.
    static bool AllocateBlock(int64_t count, _typebuf<uint32_t>& block);

    static bool ResampleRows(const uint32_t* source, int32_t source_width, int32_t rows, int32_t target_width,
                             _typebuf<uint32_t>& out);
    static bool RotateLeft(const uint32_t* source, int32_t source_width, int32_t source_height,
                           _typebuf<uint32_t>& out);
    static bool RotateRight(const uint32_t* source, int32_t row_length, int32_t rows, _typebuf<uint32_t>& out);
    static bool ScaleLinear(const cImageBuffer* image, int32_t target_width, int32_t target_height,
                            cImageBuffer* out);
    static bool ScaleArea(const cImageBuffer* image, int32_t target_width, int32_t target_height,
                          cImageBuffer* out);
    // Mode 0 linear, 1 area averaging; any other mode fails.
    static bool Scale(int32_t mode, const cImageBuffer* image, int32_t target_width, int32_t target_height,
                      cImageBuffer* out);

    _typebuf<uint32_t> pixels;
    int32_t width;
    int32_t height;
};

#endif
