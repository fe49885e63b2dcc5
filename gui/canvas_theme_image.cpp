#include "gui/canvas.h"

#include <string.h>

#include "gui/image_buffer.h"

namespace {

// The image pixels under the visible [cut, cut + length) of a target of
// the given size: every pixel of which any part shows, so that a visible
// part of a stretched pixel keeps it, however small that part is.
void source_span(int32_t image_size, int32_t target_size, int32_t cut, int32_t length, int32_t* first,
                 int32_t* count)
{
    int64_t end = (int64_t(cut) + length) * image_size;
    *first = int32_t(int64_t(cut) * image_size / target_size);
    *count = int32_t((end + target_size - 1) / target_size) - *first;
}

// Where one axis of a target [start, start + size) shows on a canvas of the
// given extent: the first visible position, how many positions show, and how
// many are cut off at the far end. False when the target misses the canvas.
struct cVisibleSpan {
    int32_t first;
    int32_t length;
    int32_t near_cut;
    int32_t far_cut;
};

bool visible_span(int32_t start, int32_t size, int32_t extent, cVisibleSpan* span)
{
    int64_t end = int64_t(start) + size;
    if (start < 0 && end > 0) {
        span->first = 0;
        span->near_cut = -start;
    } else if (start >= 0 && start < extent) {
        span->first = start;
        span->near_cut = 0;
    } else {
        return false;
    }
    if (start < extent && extent < end) {
        span->length = extent - span->first;
        span->far_cut = int32_t(end - extent);
    } else if (end > 0 && end <= extent) {
        span->length = int32_t(end - span->first);
        span->far_cut = 0;
    } else {
        return false;
    }
    return true;
}

}  // namespace

// Only the visible part of a large target is cut out of the image and
// scaled. Image rows are stored bottom row first, so the part starts after
// the rows cut off below the canvas.
bool cCanvas::DrawThemeImage(const cImageBuffer* image, int32_t width, int32_t height, int32_t x, int32_t y,
                             int32_t mode)
{
    if (!image || !image->IsConsistent() || width < 1 || height < 1)
        return false;
    cVisibleSpan across = {};
    cVisibleSpan down = {};
    if (!visible_span(x, width, GetWidth(), &across) || !visible_span(y, height, GetHeight(), &down))
        return false;

    const int32_t image_width = image->GetWidth();
    const int32_t image_height = image->GetHeight();
    int32_t source_x, source_width, source_y, source_height;
    source_span(image_width, width, across.near_cut, across.length, &source_x, &source_width);
    source_span(image_height, height, down.far_cut, down.length, &source_y, &source_height);

    cImageBuffer part;
    if (!part.Resize(source_width, source_height))
        return false;
    for (int32_t row = 0; row < source_height; ++row)
        memcpy(part.GetPixels() + size_t(row) * size_t(source_width),
               image->GetPixels() + size_t(source_y + row) * size_t(image_width) + source_x,
               size_t(source_width) * sizeof(uint32_t));
    cImageBuffer scaled;
    if (!cImageBuffer::Scale(mode, &part, across.length, down.length, &scaled))
        return false;
    return DrawImage(across.first, down.first, &scaled, across.length, down.length);
}
