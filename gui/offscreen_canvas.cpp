#include "gui/offscreen_canvas.h"

#include <string.h>

#include "gui/dib_section.h"
#include "gui/image_buffer.h"

cWOffscreenCanvas::cWOffscreenCanvas() : back_buffer(nullptr), pixels(nullptr) {}

// Released here, while the back buffer's own DeleteBackBuffer still runs.
cWOffscreenCanvas::~cWOffscreenCanvas() { Release(); }

bool cWOffscreenCanvas::CreateBackBuffer(int32_t width, int32_t height)
{
    DeleteBackBuffer();
    back_buffer = create_dib_section(dc, width, height, &pixels);
    if (!back_buffer)
        return false;
    SelectObject(dc, back_buffer);
    return true;
}

void cWOffscreenCanvas::DeleteBackBuffer()
{
    if (back_buffer)
        DeleteObject(back_buffer);
    back_buffer = nullptr;
    pixels = nullptr;
}

bool cWOffscreenCanvas::CopyPixels(cImageBuffer* image, const cRect* rect)
{
    if (!image || !pixels)
        return false;
    int32_t width = GetWidth();
    int32_t height = GetHeight();
    GdiFlush();
    if (!rect)
        return image->SetPixels(pixels, width, height, false);
    if (rect->x < 0 || rect->x >= width || rect->y < 0 || rect->y >= height || rect->width < 1 ||
        rect->width > width || rect->height < 1 || rect->height > height || rect->x + rect->width > width ||
        rect->y + rect->height > height)
        return false;
    if (!image->Resize(rect->width, rect->height))
        return false;
    // The rectangle's bottom row is the first one stored.
    const uint32_t* from = pixels + size_t(height - rect->y - rect->height) * size_t(width) + rect->x;
    uint32_t* to = image->GetPixels();
    for (int32_t row = 0; row < rect->height; ++row) {
        memcpy(to, from, size_t(rect->width) * sizeof(uint32_t));
        to += rect->width;
        from += width;
    }
    return true;
}
