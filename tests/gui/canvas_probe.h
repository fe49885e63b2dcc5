#ifndef TESTS_GUI_CANVAS_PROBE_H
#define TESTS_GUI_CANVAS_PROBE_H

#include <stdint.h>

#include <memory>
#include <vector>

#include "gui/geometry.h"
#include "gui/image_buffer.h"
#include "gui/offscreen_canvas.h"

// Offscreen canvases for drawing tests and their pixels read back.

inline std::unique_ptr<cWOffscreenCanvas> make_canvas(int32_t width, int32_t height)
{
    std::unique_ptr<cWOffscreenCanvas> canvas(new cWOffscreenCanvas);
    if (!canvas->InitOffscreen(nullptr, width, height, -1, -1))
        canvas.reset();
    return canvas;
}

// The whole canvas in one colour.
inline void paint_canvas(cCanvas& canvas, uint32_t colour)
{
    cRect all = {0, 0, canvas.GetWidth(), canvas.GetHeight()};
    canvas.FillRect(&all, colour, colour);
}

// A canvas's pixels, top row first, as colours 0x00BBGGRR like those the
// canvas is given.
struct cCanvasPixels {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> colours;

    bool Read(cCanvas& canvas)
    {
        cImageBuffer image;
        if (!canvas.CopyPixels(&image, nullptr))
            return false;
        width = image.GetWidth();
        height = image.GetHeight();
        colours.assign(size_t(width) * size_t(height), 0);
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) {
                uint32_t pixel = image.GetPixels()[size_t(height - 1 - y) * size_t(width) + size_t(x)];
                colours[size_t(y) * size_t(width) + size_t(x)] =
                    ((pixel >> 16) & 0xFF) | (pixel & 0xFF00) | ((pixel & 0xFF) << 16);
            }
        return true;
    }

    uint32_t At(int32_t x, int32_t y) const { return colours[size_t(y) * size_t(width) + size_t(x)]; }

    int32_t Count(uint32_t colour) const
    {
        int32_t n = 0;
        for (uint32_t c : colours)
            n += c == colour;
        return n;
    }
};

inline cCanvasPixels read_pixels(cCanvas& canvas)
{
    cCanvasPixels pixels;
    pixels.Read(canvas);
    return pixels;
}

#endif
