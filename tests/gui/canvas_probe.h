#ifndef TESTS_GUI_CANVAS_PROBE_H
#define TESTS_GUI_CANVAS_PROBE_H

#include <stdint.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/geometry.h"
#include "gui/image_buffer.h"
#include "gui/offscreen_canvas.h"

// Offscreen canvases for drawing tests and their pixels read back. Colours
// are 0x00BBGGRR like those the canvas is given.

const uint32_t red = 0x0000FF;
const uint32_t green = 0x00FF00;
const uint32_t blue = 0xFF0000;
const uint32_t white = 0xFFFFFF;
const uint32_t black = 0x000000;

// The whole canvas in one colour.
inline void paint_canvas(cCanvas& canvas, uint32_t colour)
{
    cRect all = {0, 0, canvas.GetWidth(), canvas.GetHeight()};
    canvas.FillRect(&all, colour, colour);
}

// A new canvas, blank (black) or painted in one colour. One that cannot be
// set up fails the test and draws nothing.
inline std::unique_ptr<cWOffscreenCanvas> make_canvas(int32_t width, int32_t height, int64_t colour = -1)
{
    std::unique_ptr<cWOffscreenCanvas> canvas(new cWOffscreenCanvas);
    EXPECT_TRUE(canvas->InitOffscreen(nullptr, width, height, -1, -1)) << width << " x " << height;
    if (colour >= 0)
        paint_canvas(*canvas, uint32_t(colour));
    return canvas;
}

// A canvas's pixels, top row first.
struct cCanvasPixels {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> colours;

    uint32_t At(int32_t x, int32_t y) const { return colours[size_t(y) * size_t(width) + size_t(x)]; }
    int32_t Count(uint32_t colour) const { return int32_t(std::count(colours.begin(), colours.end(), colour)); }
};

inline cCanvasPixels read_pixels(cCanvas& canvas)
{
    cCanvasPixels pixels;
    cImageBuffer image;
    EXPECT_TRUE(canvas.CopyPixels(&image, nullptr));
    pixels.width = image.GetWidth();
    pixels.height = image.GetHeight();
    for (int32_t y = pixels.height - 1; y >= 0; --y)
        for (int32_t x = 0; x < pixels.width; ++x) {
            uint32_t pixel = image.GetPixels()[size_t(y) * size_t(pixels.width) + size_t(x)];
            pixels.colours.push_back(((pixel >> 16) & 0xFF) | (pixel & 0xFF00) | ((pixel & 0xFF) << 16));
        }
    return pixels;
}

inline bool inside(int32_t x, int32_t y, const cRect& r)
{
    return x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height;
}

// Inside the rectangle every pixel is what `colour_at` says for its place
// counted from the rectangle's corner; outside it every pixel is `other`.
inline void expect_rect(const cCanvasPixels& pixels, const cRect& rect,
                        const std::function<uint32_t(int32_t, int32_t)>& colour_at, uint32_t other)
{
    for (int32_t y = 0; y < pixels.height; ++y)
        for (int32_t x = 0; x < pixels.width; ++x)
            ASSERT_EQ(pixels.At(x, y), inside(x, y, rect) ? colour_at(x - rect.x, y - rect.y) : other)
                << "at " << x << "," << y;
}

inline void expect_only_rect(const cCanvasPixels& pixels, const cRect& rect, uint32_t colour, uint32_t other)
{
    expect_rect(pixels, rect, [colour](int32_t, int32_t) { return colour; }, other);
}

// Exactly the pixels inside the rectangle differ from the background.
inline void expect_changed_only_in(const cCanvasPixels& pixels, const cRect& rect, uint32_t background)
{
    for (int32_t y = 0; y < pixels.height; ++y)
        for (int32_t x = 0; x < pixels.width; ++x)
            ASSERT_EQ(pixels.At(x, y) == background, !inside(x, y, rect)) << "at " << x << "," << y;
}

// An image whose pixel at (x, y), counted from the top row, is unique (up to
// 6 x 6), opaque and numbered_colour(x, y) on a canvas.
inline void make_numbered_image(cImageBuffer& image, int32_t width, int32_t height)
{
    ASSERT_TRUE(image.Resize(width, height));
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            image.GetPixels()[(height - 1 - y) * width + x] =
                0xFF000000u | uint32_t(x * 40 + 10) << 16 | uint32_t(y * 40 + 10) << 8 | 0x33;
}

inline uint32_t numbered_colour(int32_t x, int32_t y)
{
    return uint32_t(x * 40 + 10) | uint32_t(y * 40 + 10) << 8 | 0x330000;
}

inline cSize text_size(cCanvas& canvas, const std::wstring& text)
{
    cSize size = {};
    EXPECT_TRUE(canvas.MeasureTextW(text.c_str(), int32_t(text.size()), &size));
    return size;
}

struct cTextPiece {
    int32_t x;
    int32_t y;
    std::wstring text;
};

// A white canvas with each piece drawn alone, opaque, in the default font.
inline cCanvasPixels pixels_with_texts(int32_t width, int32_t height, const std::vector<cTextPiece>& pieces)
{
    auto reference = make_canvas(width, height, white);
    for (const cTextPiece& piece : pieces)
        EXPECT_TRUE(reference->DrawTextColoured(piece.x, piece.y, false, piece.text.c_str(), -1));
    return read_pixels(*reference);
}

#endif
