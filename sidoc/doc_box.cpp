#include "sidoc/doc_box.h"

#include "gui/canvas.h"
#include "gui/image_buffer.h"
#include "gui/ui_font.h"
#include "sidoc/doc_format.h"

namespace {

bool is_set(int32_t extent)
{
    return extent > 0;
}

// A link box that painted reports its rectangle.
void report_link(const cSiDocPaintContext& context, const cSiDocLinkTarget* link, const cSize& size)
{
    if (context.active_target && link)
        context.active_target->AddLinkRect(link, context.x, context.y, size.width, size.height);
}

// The extent cut where it would pass a limit (a negative limit is none).
int32_t cut_to_limit(int32_t extent, int32_t at, int32_t limit)
{
    if (limit >= 0 && int64_t(at) + extent > limit)
        return limit - at;
    return extent;
}

}  // namespace

cSiDocFontProvider::~cSiDocFontProvider()
{
}

cSiDocActiveTarget::~cSiDocActiveTarget()
{
}

int32_t doc_scaled_text_height(int32_t height)
{
    return int32_t(height * get_ui_line_spacing() + 0.5);
}

cSiDocBox::cSiDocBox()
    : margin_left(0), margin_right(0), margin_top(0), margin_bottom(0), width(-1), height(-1),
      background(doc_no_colour), break_before(0), measured_width(0), measured_height(0)
{
}

cSiDocBox::~cSiDocBox()
{
}

bool cSiDocBox::HasText() const
{
    return false;
}

cSiDocText::cSiDocText() : font_provider(nullptr), style(-1), text_colour(doc_no_colour)
{
}

bool cSiDocText::HasText() const
{
    return !text.IsEmpty();
}

int32_t cSiDocText::SelectFont(cCanvas* canvas, const cSiDocPaintContext& context)
{
    cFontObject* font = font_provider ? font_provider->GetFont(style) : nullptr;
    canvas->SelectFont(font ? font : context.font);
    cSize space = {0, 0};
    canvas->MeasureTextA(" ", 1, &space);
    return doc_scaled_text_height(space.height);
}

cSize cSiDocText::MeasureText(cCanvas* canvas, cSize* text_size)
{
    *text_size = {0, 0};
    canvas->MeasureTextW(text.Text(), -1, text_size);
    cSize size = {text_size->width, doc_scaled_text_height(text_size->height)};
    if (is_set(width))
        size.width = width;
    if (is_set(height))
        size.height = height;
    return size;
}

bool cSiDocText::Measure(cCanvas* canvas, const cSiDocPaintContext& context, cSize* size)
{
    if (is_set(width) && is_set(height)) {
        *size = {width, height};
        return true;
    }
    *size = {0, 0};
    if (!canvas)
        return false;
    *size = {0, SelectFont(canvas, context)};
    cSize text_size;
    if (HasText())
        *size = MeasureText(canvas, &text_size);
    return true;
}

bool cSiDocText::Paint(cCanvas* canvas, const cSiDocPaintContext& context, cSize* size)
{
    *size = {0, 0};
    if (!canvas)
        return false;
    *size = {0, SelectFont(canvas, context)};
    if (!HasText() || context.right_limit == 0 || context.bottom_limit == 0)
        return false;
    cSize text_size;
    *size = MeasureText(canvas, &text_size);
    size->width = cut_to_limit(size->width, context.x, context.right_limit);
    size->height = cut_to_limit(size->height, context.y, context.bottom_limit);
    uint32_t colour = text_colour != doc_no_colour ? text_colour : context.text_colour;
    uint32_t fill = background != doc_no_colour ? background : context.background;
    canvas->SetTextColours(colour, fill);
    if (size->width > text_size.width || size->height > text_size.height) {
        // The canvas centres the word vertically in its box, so the fill
        // covers the whole box before the word is drawn over it.
        cRect box = {context.x, context.y, size->width, size->height};
        canvas->FillRect(&box, fill, fill);
    }
    canvas->DrawTextLine(context.x, context.y, size->width, size->height, 0, false, 0, 0, text.Text(), -1, nullptr,
                         false);
    return true;
}

cSiDocLink::cSiDocLink() : link(nullptr)
{
}

bool cSiDocLink::Paint(cCanvas* canvas, const cSiDocPaintContext& context, cSize* size)
{
    if (!cSiDocText::Paint(canvas, context, size))
        return false;
    report_link(context, link, *size);
    return true;
}

cSiDocImage::cSiDocImage() : image(nullptr)
{
}

bool cSiDocImage::Measure(cCanvas*, const cSiDocPaintContext&, cSize* size)
{
    if (is_set(width) && is_set(height)) {
        *size = {width, height};
        return true;
    }
    if (!image) {
        *size = {0, 0};
        return false;
    }
    *size = {image->GetWidth(), image->GetHeight()};
    return true;
}

bool cSiDocImage::Paint(cCanvas* canvas, const cSiDocPaintContext& context, cSize* size)
{
    *size = {0, 0};
    if (!canvas || !image || context.right_limit == 0 || context.bottom_limit == 0)
        return false;
    int32_t own_width = image->GetWidth();
    int32_t own_height = image->GetHeight();
    size->width = cut_to_limit(is_set(width) ? width : own_width, context.x, context.right_limit);
    size->height = cut_to_limit(is_set(height) ? height : own_height, context.y, context.bottom_limit);
    if (size->width < own_width || size->height < own_height) {
        cRect whole = {context.x, context.y, own_width, own_height};
        cRect shown = {context.x, context.y, size->width, size->height};
        canvas->ExcludeClipRect(&whole);
        canvas->IncludeClipRect(&shown);
        canvas->ApplyClip();
        canvas->DrawImage(context.x, context.y, image, -1, -1);
        canvas->IncludeClipRect(&whole);
        canvas->ApplyClip();
    } else {
        canvas->DrawImage(context.x, context.y, image, -1, -1);
    }
    uint32_t fill = background != doc_no_colour ? background : context.background;
    if (size->width > own_width) {
        cRect right = {context.x + own_width, context.y, size->width - own_width, size->height};
        canvas->FillRect(&right, fill, fill);
    }
    if (size->height > own_height) {
        cRect below = {context.x, context.y + own_height, size->width, size->height - own_height};
        canvas->FillRect(&below, fill, fill);
    }
    return true;
}

cSiDocImageLink::cSiDocImageLink() : link(nullptr)
{
}

bool cSiDocImageLink::Paint(cCanvas* canvas, const cSiDocPaintContext& context, cSize* size)
{
    if (!cSiDocImage::Paint(canvas, context, size))
        return false;
    report_link(context, link, *size);
    return true;
}
