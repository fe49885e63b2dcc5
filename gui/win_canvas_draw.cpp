#include "gui/win_canvas.h"

#include "gui/dib_section.h"
#include "gui/image_buffer.h"

namespace {

// The image itself at its own size, else a linearly scaled copy made in
// `scaled`; null when scaling fails.
const cImageBuffer* image_at_size(const cImageBuffer* image, int32_t width, int32_t height, cImageBuffer& scaled)
{
    if (width == image->GetWidth() && height == image->GetHeight())
        return image;
    return cImageBuffer::ScaleLinear(image, width, height, &scaled) ? &scaled : nullptr;
}

uint32_t blend_channel(uint32_t background, uint32_t over, double alpha)
{
    return uint32_t(background * (1.0 - alpha) + over * alpha);
}

// Colour channels mixed by the image's alpha; the background keeps its own
// alpha byte.
uint32_t blend_pixel(uint32_t background, uint32_t over)
{
    double alpha = (over >> 24) / 255.0;
    uint32_t blue = blend_channel(background & 0xFF, over & 0xFF, alpha);
    uint32_t green = blend_channel((background >> 8) & 0xFF, (over >> 8) & 0xFF, alpha);
    uint32_t red = blend_channel((background >> 16) & 0xFF, (over >> 16) & 0xFF, alpha);
    return (background & 0xFF000000u) | red << 16 | green << 8 | blue;
}

}  // namespace

bool cWinCanvas::FillRect(const cRect* rect, uint32_t fill_colour, uint32_t frame_colour)
{
    if (!dc || !rect || !UsePen(frame_pen, frame_colour, 1) || !UseBrush(fill_colour))
        return false;
    int32_t left = area.left + rect->x;
    int32_t top = area.top + rect->y;
    return Rectangle(dc, left, top, left + rect->width, top + rect->height) != 0;
}

bool cWinCanvas::SetLinePen(uint32_t colour, int32_t width) { return UsePen(line_pen, colour, width); }

// The end point is not drawn.
bool cWinCanvas::DrawLine(const cPoint* from, const cPoint* to)
{
    if (!dc || !from || !to || !UsePen(line_pen, line_pen.colour, line_pen.width))
        return false;
    return MoveToEx(dc, area.left + from->x, area.top + from->y, nullptr) &&
           LineTo(dc, area.left + to->x, area.top + to->y);
}

// An opaque copy: the pixels' alpha is ignored. A width or height below 1
// draws the image at its own size; another size draws a linearly scaled
// copy. A target that misses the canvas draws nothing and is no failure.
bool cWinCanvas::DrawImage(int32_t x, int32_t y, const cImageBuffer* image, int32_t width, int32_t height)
{
    if (!dc || !image || !image->IsConsistent())
        return false;
    if (x > GetWidth() || y > GetHeight())
        return true;
    if (width < 1 || height < 1) {
        width = image->GetWidth();
        height = image->GetHeight();
    }
    if (int64_t(x) + width < 0 || int64_t(y) + height < 0)
        return true;
    cImageBuffer scaled;
    const cImageBuffer* source = image_at_size(image, width, height, scaled);
    if (!source)
        return false;
    // Straight from the image's own pixels: a repaint of a small part of a
    // large picture (a page's background under a moving progress bar)
    // neither allocates nor copies the whole picture; GDI clips.
    BITMAPINFO info = dib_info(width, height);
    return SetDIBitsToDevice(dc, area.left + x, area.top + y, DWORD(width), DWORD(height), 0, 0, 0, UINT(height),
                             source->GetPixels(), &info, DIB_RGB_COLORS) != 0;
}

bool cWinCanvas::DrawImageAt(const cPoint* point, const cImageBuffer* image, const cSize* size)
{
    if (!point)
        return false;
    return DrawImage(point->x, point->y, image, size ? size->width : -1, size ? size->height : -1);
}

// Only the part of the target that lies on the canvas is read, blended and
// written back.
bool cWinCanvas::DrawImageScaled(const cPoint* point, const cImageBuffer* image, const cSize* size)
{
    if (!dc || !point || !image || !image->IsConsistent())
        return false;
    int32_t width = size ? size->width : image->GetWidth();
    int32_t height = size ? size->height : image->GetHeight();
    if (width < 1 || height < 1)
        return false;
    int32_t canvas_width = GetWidth();
    int32_t canvas_height = GetHeight();
    int64_t target_right = int64_t(point->x) + width;
    int64_t target_bottom = int64_t(point->y) + height;
    if (point->x > canvas_width || point->y > canvas_height || target_right < 0 || target_bottom < 0)
        return true;
    int32_t left = point->x > 0 ? point->x : 0;
    int32_t top = point->y > 0 ? point->y : 0;
    int32_t right = int32_t(target_right < canvas_width ? target_right : canvas_width);
    int32_t bottom = int32_t(target_bottom < canvas_height ? target_bottom : canvas_height);
    if (left >= right || top >= bottom)
        return true;

    cImageBuffer scaled;
    const cImageBuffer* source = image_at_size(image, width, height, scaled);
    cDibSurface background;
    if (!source || !background.Create(dc, right - left, bottom - top) ||
        !BitBlt(background.dc, 0, 0, background.width, background.height, dc, area.left + left, area.top + top,
                SRCCOPY))
        return false;
    GdiFlush();
    for (int32_t row = 0; row < background.height; ++row) {
        uint32_t* target = background.Row(row);
        int32_t image_row = height - 1 - (top + row - point->y);
        const uint32_t* over = source->GetPixels() + size_t(image_row) * size_t(width) + (left - point->x);
        for (int32_t column = 0; column < background.width; ++column)
            target[column] = blend_pixel(target[column], over[column]);
    }
    return BitBlt(dc, area.left + left, area.top + top, background.width, background.height, background.dc, 0, 0,
                  SRCCOPY) != 0;
}
