#ifndef TESTS_GUI_ELEMENT_TEST_CANVAS_H
#define TESTS_GUI_ELEMENT_TEST_CANVAS_H

#include <memory>
#include <string>
#include <vector>

#include "gui/canvas.h"

// A model of the canvas contract over a plain pixel grid, for painting tests
// that need no window: FillRect writes where the applied clip allows; clip
// changes are per-pixel masks that take effect with ApplyClip; a sub-canvas
// is a window onto the same pixels whose drawing stays inside the clip its
// parent had when it was made; an offscreen canvas has pixels of its own.
// Every clip and sub-canvas call is also written to a shared log.
class cGridCanvas : public cCanvas {
public:
    struct Surface {
        int32_t width;
        int32_t height;
        std::vector<uint32_t> pixels;
        std::vector<std::string> log;
    };

    cGridCanvas(int32_t width, int32_t height)
        : surface(std::make_shared<Surface>(Surface{width, height, std::vector<uint32_t>(size_t(width * height)), {}})),
          left(0), top(0), w(width), h(height), clip(size_t(width * height), true), inherited(clip), applied(clip)
    {
    }

    int32_t GetWidth() override { return w; }
    int32_t GetHeight() override { return h; }

    bool FillRect(const cRect* rect, uint32_t fill_colour, uint32_t frame_colour) override
    {
        if (!rect)
            return false;
        for (int32_t y = rect->y; y < rect->y + rect->height; ++y) {
            for (int32_t x = rect->x; x < rect->x + rect->width; ++x) {
                bool frame = x == rect->x || y == rect->y || x == rect->x + rect->width - 1 ||
                             y == rect->y + rect->height - 1;
                Put(x, y, frame ? frame_colour : fill_colour);
            }
        }
        return true;
    }
    bool ExcludeClipRect(const cRect* rect) override
    {
        Log("exclude", rect);
        return Mark(clip, rect, false);
    }
    bool IncludeClipRect(const cRect* rect) override
    {
        Log("include", rect);
        return Mark(clip, rect, true);
    }
    bool ApplyClip() override
    {
        for (size_t i = 0; i < applied.size(); ++i)
            applied[i] = clip[i] && inherited[i];
        return true;
    }
    bool IsRectVisible(const cRect* rect) override
    {
        if (!rect)
            return false;
        for (int32_t y = rect->y; y < rect->y + rect->height; ++y) {
            for (int32_t x = rect->x; x < rect->x + rect->width; ++x) {
                if (Inside(x, y) && clip[Index(x, y)] && inherited[Index(x, y)])
                    return true;
            }
        }
        return false;
    }
    // The sub-canvas keeps the rectangle's origin even where it lies before
    // this canvas's; only its drawing is cut to this canvas and its clip.
    cCanvas* CreateSubCanvas(const cRect* rect) override
    {
        Log("sub", rect);
        if (!rect || rect->x >= w || rect->y >= h || rect->x + rect->width <= 0 || rect->y + rect->height <= 0)
            return nullptr;
        int32_t x1 = rect->x + rect->width < w ? rect->x + rect->width : w;
        int32_t y1 = rect->y + rect->height < h ? rect->y + rect->height : h;
        cGridCanvas* sub = new cGridCanvas(surface, left + rect->x, top + rect->y, x1 - rect->x, y1 - rect->y);
        for (int32_t y = 0; y < sub->h; ++y) {
            for (int32_t x = 0; x < sub->w; ++x) {
                int32_t px = x + rect->x;
                int32_t py = y + rect->y;
                sub->inherited[size_t(y * sub->w + x)] =
                    Inside(px, py) && clip[Index(px, py)] && inherited[Index(px, py)];
            }
        }
        sub->ApplyClip();
        return sub;
    }
    cCanvas* CreateOffscreen(int32_t width, int32_t height, int32_t, int32_t) override
    {
        surface->log.push_back("offscreen " + std::to_string(width) + "x" + std::to_string(height));
        if (refuse_offscreen || width <= 0 || height <= 0)
            return nullptr;
        cGridCanvas* offscreen = new cGridCanvas(width, height);
        offscreen->surface->log.clear();
        return offscreen;
    }
    bool CopyArea(int32_t x, int32_t y, cCanvas* source, int32_t source_x, int32_t source_y, int32_t width,
                  int32_t height) override
    {
        cGridCanvas* from = static_cast<cGridCanvas*>(source);
        for (int32_t row = 0; row < height; ++row) {
            for (int32_t column = 0; column < width; ++column)
                Put(x + column, y + row, from->Pixel(source_x + column, source_y + row));
        }
        return true;
    }

    // The pixel at canvas coordinates (0 outside).
    uint32_t Pixel(int32_t x, int32_t y) const
    {
        if (!Inside(x, y) || !OnSurface(x, y))
            return 0;
        return surface->pixels[size_t((top + y) * surface->width + left + x)];
    }
    std::vector<std::string>& Log() { return surface->log; }

    bool refuse_offscreen = false;

private:
    cGridCanvas(std::shared_ptr<Surface> shared, int32_t at_left, int32_t at_top, int32_t width, int32_t height)
        : surface(shared), left(at_left), top(at_top), w(width), h(height), clip(size_t(width * height), true),
          inherited(clip), applied(clip)
    {
    }

    bool Inside(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < w && y < h; }
    bool OnSurface(int32_t x, int32_t y) const
    {
        return left + x >= 0 && top + y >= 0 && left + x < surface->width && top + y < surface->height;
    }
    size_t Index(int32_t x, int32_t y) const { return size_t(y * w + x); }
    void Put(int32_t x, int32_t y, uint32_t colour)
    {
        if (Inside(x, y) && applied[Index(x, y)] && OnSurface(x, y))
            surface->pixels[size_t((top + y) * surface->width + left + x)] = colour;
    }
    bool Mark(std::vector<bool>& mask, const cRect* rect, bool value)
    {
        if (!rect)
            return false;
        for (int32_t y = rect->y; y < rect->y + rect->height; ++y) {
            for (int32_t x = rect->x; x < rect->x + rect->width; ++x) {
                if (Inside(x, y))
                    mask[Index(x, y)] = value;
            }
        }
        return true;
    }
    void Log(const char* what, const cRect* rect)
    {
        surface->log.push_back(std::string(what) + " " + std::to_string(rect->x) + "," + std::to_string(rect->y) +
                               " " + std::to_string(rect->width) + "x" + std::to_string(rect->height));
    }

    std::shared_ptr<Surface> surface;
    int32_t left;
    int32_t top;
    int32_t w;
    int32_t h;
    std::vector<bool> clip;       // this canvas's clip region
    std::vector<bool> inherited;  // the parent's clip when this sub-canvas was made
    std::vector<bool> applied;    // what drawing obeys since the last ApplyClip
};

#endif
