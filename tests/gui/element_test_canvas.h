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
// Sub-canvas and offscreen requests are written to a shared log.
class cGridCanvas : public cCanvas {
public:
    cGridCanvas(int32_t width, int32_t height)
        : cGridCanvas(std::make_shared<Surface>(Surface{width, std::vector<uint32_t>(size_t(width * height)), {}}), 0,
                      0, width, height)
    {
    }

    int32_t GetWidth() override { return w; }
    int32_t GetHeight() override { return h; }
    bool FillRect(const cRect* rect, uint32_t fill_colour, uint32_t frame_colour) override
    {
        for (int32_t y = rect ? rect->y : 0; rect && y < rect->y + rect->height; ++y) {
            for (int32_t x = rect->x; x < rect->x + rect->width; ++x) {
                bool frame = x == rect->x || y == rect->y || x == rect->x + rect->width - 1 ||
                             y == rect->y + rect->height - 1;
                if (Visible(x, y, applied))
                    At(x, y) = frame ? frame_colour : fill_colour;
            }
        }
        return rect != nullptr;
    }
    bool ExcludeClipRect(const cRect* rect) override { return Mark(rect, false); }
    bool IncludeClipRect(const cRect* rect) override { return Mark(rect, true); }
    bool ApplyClip() override
    {
        for (size_t i = 0; i < applied.size(); ++i)
            applied[i] = clip[i] && inherited[i];
        return true;
    }
    bool IsRectVisible(const cRect* rect) override
    {
        for (int32_t y = rect ? rect->y : 0; rect && y < rect->y + rect->height; ++y) {
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
        surface->log.push_back("sub");
        if (!rect || rect->x >= w || rect->y >= h || rect->x + rect->width <= 0 || rect->y + rect->height <= 0)
            return nullptr;
        int32_t x1 = rect->x + rect->width < w ? rect->x + rect->width : w;
        int32_t y1 = rect->y + rect->height < h ? rect->y + rect->height : h;
        cGridCanvas* sub = new cGridCanvas(surface, left + rect->x, top + rect->y, x1 - rect->x, y1 - rect->y);
        for (int32_t y = 0; y < sub->h; ++y) {
            for (int32_t x = 0; x < sub->w; ++x) {
                int32_t px = x + rect->x;
                int32_t py = y + rect->y;
                sub->inherited[sub->Index(x, y)] = Inside(px, py) && clip[Index(px, py)] && inherited[Index(px, py)];
            }
        }
        sub->ApplyClip();
        return sub;
    }
    cCanvas* CreateOffscreen(int32_t width, int32_t height, int32_t, int32_t) override
    {
        surface->log.push_back("offscreen " + std::to_string(width) + "x" + std::to_string(height));
        return refuse_offscreen || width <= 0 || height <= 0 ? nullptr : new cGridCanvas(width, height);
    }
    bool CopyArea(int32_t x, int32_t y, cCanvas* source, int32_t source_x, int32_t source_y, int32_t width,
                  int32_t height) override
    {
        cGridCanvas* from = static_cast<cGridCanvas*>(source);
        for (int32_t row = 0; row < height; ++row) {
            for (int32_t column = 0; column < width; ++column) {
                if (Visible(x + column, y + row, applied))
                    At(x + column, y + row) = from->Pixel(source_x + column, source_y + row);
            }
        }
        return true;
    }

    // The pixel at canvas coordinates (0 outside).
    uint32_t Pixel(int32_t x, int32_t y) { return Inside(x, y) && OnSurface(x, y) ? At(x, y) : 0; }
    std::vector<std::string>& Log() { return surface->log; }

    bool refuse_offscreen = false;

private:
    struct Surface {
        int32_t width;
        std::vector<uint32_t> pixels;
        std::vector<std::string> log;
    };

    cGridCanvas(std::shared_ptr<Surface> shared, int32_t at_left, int32_t at_top, int32_t width, int32_t height)
        : surface(shared), left(at_left), top(at_top), w(width), h(height), clip(size_t(width * height), true),
          inherited(clip), applied(clip)
    {
    }

    bool Inside(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < w && y < h; }
    bool OnSurface(int32_t x, int32_t y) const
    {
        return left + x >= 0 && top + y >= 0 && left + x < surface->width &&
               size_t((top + y) * surface->width) < surface->pixels.size();
    }
    bool Visible(int32_t x, int32_t y, const std::vector<bool>& mask) const
    {
        return Inside(x, y) && mask[Index(x, y)] && OnSurface(x, y);
    }
    size_t Index(int32_t x, int32_t y) const { return size_t(y * w + x); }
    uint32_t& At(int32_t x, int32_t y) { return surface->pixels[size_t((top + y) * surface->width + left + x)]; }
    bool Mark(const cRect* rect, bool value)
    {
        for (int32_t y = rect ? rect->y : 0; rect && y < rect->y + rect->height; ++y) {
            for (int32_t x = rect->x; x < rect->x + rect->width; ++x) {
                if (Inside(x, y))
                    clip[Index(x, y)] = value;
            }
        }
        return rect != nullptr;
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
