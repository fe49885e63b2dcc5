#include "gui/canvas.h"
#include "gui/controls/scroll_bar.h"
#include "gui/image_cache.h"
#include "gui/theme.h"

// The bar's images, geometry, hit test and painting.

namespace {

const int32_t key_count = 12;
const int32_t spacer_length = 5;

// Keys of the bar's images.
enum {
    key_start_cap = 0,
    key_track = 1,
    key_thumb_start = 2,
    key_thumb_end = 3,
    key_thumb_body = 4,
    key_back = 5,
    key_forward = 6,
    key_back_spacer = 7,
    key_forward_spacer = 8,
    key_separator = 9,
    key_narrow_back = 10,
    key_narrow_forward = 11,
};

// The horizontal bar's theme images per key, normal / hover / pressed; the
// vertical bar's are 29 further on.
const uint32_t theme_images[key_count][3] = {
    {87, 87, 87},    {88, 89, 90},    {94, 95, 96},    {97, 98, 99},    {91, 92, 93},    {100, 101, 102},
    {103, 104, 105}, {106, 107, 108}, {106, 107, 108}, {109, 109, 109}, {110, 111, 112}, {113, 114, 115},
};
const uint32_t vertical_image_offset = 29;

// Copies, so that a theme installed later leaves no dangling image behind.
void fill_caches(cImageCache* caches, bool vertical)
{
    cCITheme* theme = get_theme();
    if (!theme || caches[0].Get(key_start_cap))
        return;
    for (int32_t state = 0; state < 3; ++state) {
        for (int32_t key = 0; key < key_count; ++key) {
            uint32_t index = theme_images[key][state] + (vertical ? vertical_image_offset : 0);
            cImageBuffer* image = theme->GetImage(index);
            if (image)
                caches[state].PutPixels(key, image->GetPixels(), image->GetWidth(), image->GetHeight(), false);
        }
    }
}

}  // namespace

void cScrollBar::InitDefaults()
{
    cChildElement::InitDefaults();
    fill_caches(caches, vertical);
    ClearPressFlags();
    dragging = false;
    SetStates(0, 0, 0, 0);
    int32_t thickness = theme_metric(19);
    int32_t shortest = theme_metric(22);
    if (vertical) {
        SetMinSize(thickness, shortest);
        SetMaxSize(thickness, 0x7FFFFFFF);
    } else {
        SetMinSize(shortest, thickness);
        SetMaxSize(0x7FFFFFFF, thickness);
    }
}

cImageBuffer* cScrollBar::Image(int32_t key, int32_t state)
{
    // The start cap and the separator never change their look.
    if (key == key_start_cap || key == key_separator || state < 1 || state > 2)
        state = 0;
    return caches[state].Get(key);
}

int32_t cScrollBar::Extent(int32_t key)
{
    cImageBuffer* image = caches[0].Get(key);
    if (!image)
        return 0;
    return vertical ? image->GetHeight() : image->GetWidth();
}

// The pieces of the arrow block at the far end of a full bar, from the end
// backwards: the forward arrow and its spacer, the separator, the back
// spacer and the back arrow. A missing spacer image takes no room.
void cScrollBar::ArrowBlock(cArrowPiece* pieces)
{
    pieces[0] = cArrowPiece{key_forward, part_forward, Extent(key_forward)};
    pieces[1] = cArrowPiece{key_forward_spacer, part_forward, Extent(key_forward_spacer) ? spacer_length : 0};
    pieces[2] = cArrowPiece{key_separator, part_none, Extent(key_separator)};
    pieces[3] = cArrowPiece{key_back_spacer, part_back, Extent(key_back_spacer) ? spacer_length : 0};
    pieces[4] = cArrowPiece{key_back, part_back, Extent(key_back)};
}

int32_t cScrollBar::FullTrackLength()
{
    cArrowPiece pieces[arrow_piece_count];
    ArrowBlock(pieces);
    int32_t track = Length() - Extent(key_start_cap);
    for (const cArrowPiece& piece : pieces)
        track -= piece.length;
    return track;
}

// A range of 0 leaves nothing to scroll: the thumb stays at the start of
// the track, and no position is divided by a scale of 0.
cScrollBar::cThumb cScrollBar::ThumbOnTrack(int32_t track_length)
{
    int64_t track = track_length;
    int64_t thumb = theme_metric(22);
    if (track > 0) {
        uint64_t span = uint64_t(track) + range;
        int64_t proportional = span >= range ? int64_t(uint64_t(track * track) / span) : 0;
        if (proportional > thumb)
            thumb = proportional;
    }
    double scale = track > thumb ? double(range) / double(track - thumb) : 1.0;
    int32_t start = Extent(key_start_cap);
    if (range > 0)
        start += int32_t(double(position) / scale + 0.5);
    return cThumb{start, int32_t(thumb), scale};
}

int32_t cScrollBar::HitTest(int32_t along)
{
    int32_t length = Length();
    if (length <= theme_metric(21))
        return along < length / 2 ? part_back : part_forward;
    if (along < Extent(key_start_cap))
        return part_none;
    cArrowPiece pieces[arrow_piece_count];
    ArrowBlock(pieces);
    int32_t end = length;
    for (const cArrowPiece& piece : pieces) {
        end -= piece.length;
        if (along >= end)
            return piece.part;
    }
    cThumb thumb = ThumbOnTrack(end - Extent(key_start_cap));
    if (along < thumb.start)
        return part_track_before;
    return along < thumb.start + thumb.length ? part_thumb : part_track_after;
}

void cScrollBar::DrawPart(cCanvas* canvas, int32_t key, int32_t state, int32_t at, int32_t length)
{
    cImageBuffer* image = Image(key, state);
    if (!image || length < 1)
        return;
    int32_t thickness = theme_metric(19);
    if (vertical)
        canvas->DrawImage(0, at, image, thickness, length);
    else
        canvas->DrawImage(at, 0, image, length, thickness);
}

void cScrollBar::Paint(cCanvas* canvas)
{
    int32_t length = Length();
    if (length > theme_metric(20) && length > theme_metric(21))
        PaintFull(canvas);
    else if (length > theme_metric(20))
        PaintArrowsOnly(canvas, key_back, key_forward);
    else
        PaintArrowsOnly(canvas, key_narrow_back, key_narrow_forward);
}

void cScrollBar::PaintFull(cCanvas* canvas)
{
    int32_t length = Length();
    int32_t cap = Extent(key_start_cap);
    DrawPart(canvas, key_start_cap, 0, 0, cap);
    cArrowPiece pieces[arrow_piece_count];
    ArrowBlock(pieces);
    int32_t at = length;
    for (const cArrowPiece& piece : pieces) {
        at -= piece.length;
        const int32_t* state = StateOfPart(piece.part);
        DrawPart(canvas, piece.key, state ? *state : 0, at, piece.length);
    }
    int32_t track = at - cap;
    DrawPart(canvas, key_track, track_state, cap, track);

    cThumb thumb = ThumbOnTrack(track);
    int32_t start_end = Extent(key_thumb_start);
    int32_t far_end = Extent(key_thumb_end);
    DrawPart(canvas, key_thumb_start, thumb_state, thumb.start, start_end);
    DrawPart(canvas, key_thumb_end, thumb_state, thumb.start + thumb.length - far_end, far_end);
    DrawPart(canvas, key_thumb_body, thumb_state, thumb.start + start_end, thumb.length - start_end - far_end);
}

void cScrollBar::PaintArrowsOnly(cCanvas* canvas, int32_t back_key, int32_t forward_key)
{
    int32_t length = Length();
    int32_t back = Extent(back_key);
    int32_t forward = Extent(forward_key);
    DrawPart(canvas, back_key, back_state, 0, back);
    DrawPart(canvas, forward_key, forward_state, length - forward, forward);
    int32_t gap = length - back - forward;
    DrawPart(canvas, key_back_spacer, back_state, back, gap / 2);
    DrawPart(canvas, key_forward_spacer, forward_state, back + gap / 2, gap - gap / 2);
}
