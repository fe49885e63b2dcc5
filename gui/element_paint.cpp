#include "gui/canvas.h"
#include "gui/child_element.h"
#include "gui/request_target.h"

// Painting of the tree and invalidation up to the host window.

void cChildElement::Redraw(const cRect* rect)
{
    if (!paintable)
        return;
    cRect area = rect ? *rect : cRect{0, 0, width, height};
    // Right and bottom are exclusive, so the last row and column repaint too.
    cRectEdges edges{area.x, area.y, area.x + area.width, area.y + area.height};
    if (edges.left > width)
        edges.left = width;
    if (edges.right > width)
        edges.right = width;
    if (edges.top > height)
        edges.top = height;
    if (edges.bottom > height)
        edges.bottom = height;
    if (edges.right <= edges.left || edges.bottom <= edges.top)
        return;
    InvalidateRect(&edges);
}

void cChildElement::InvalidateRect(const cRectEdges* rect)
{
    if (!created || !paintable)
        return;
    if (!parent) {
        if (request_target)
            request_target->InvalidateWindow(rect);
        return;
    }
    cRectEdges edges = rect ? *rect : cRectEdges{0, 0, width, height};
    edges.left += x;
    edges.right += x;
    edges.top += y;
    edges.bottom += y;
    cPoint origin = parent->GetScrollOrigin();
    if (fixed_horizontally_against != parent) {
        edges.left += origin.x;
        edges.right += origin.x;
    }
    if (fixed_vertically_against != parent) {
        edges.top += origin.y;
        edges.bottom += origin.y;
    }
    if (edges.left < 0)
        edges.left = 0;
    if (edges.top < 0)
        edges.top = 0;
    if (edges.right <= 0 || edges.bottom <= 0)
        return;
    parent->InvalidateRect(&edges);
}

namespace {

// The part of [at, at + size) that lies inside [low, high).
void clip_span(int32_t at, int32_t size, int32_t low, int32_t high, int32_t* start, int32_t* end)
{
    *start = at > low ? at : low;
    *end = at + size < high ? at + size : high;
}

}  // namespace

bool cChildElement::ChildVisibleRect(const cChildElement* child, const cRect& client, cPoint origin, cRect* visible)
{
    int32_t left, right, top, bottom;
    if (FixedHorizontallyHere(child))
        clip_span(child->x, child->width, 0, width, &left, &right);
    else
        clip_span(child->x + origin.x, child->width, client.x, client.x + client.width, &left, &right);
    if (FixedVerticallyHere(child))
        clip_span(child->y, child->height, 0, height, &top, &bottom);
    else
        clip_span(child->y + origin.y, child->height, client.y, client.y + client.height, &top, &bottom);
    if (right <= left || bottom <= top)
        return false;
    *visible = cRect{left, top, right - left, bottom - top};
    return true;
}

void cChildElement::PaintTree(cCanvas* canvas)
{
    if (!canvas)
        return;
    cRect client = GetClientRect();
    int32_t inset = int32_t(border);
    client = cRect{client.x + inset, client.y + inset, client.width - 2 * inset, client.height - 2 * inset};
    if (client.width < 0)
        client.width = 0;
    if (client.height < 0)
        client.height = 0;
    cPoint origin = GetScrollOrigin();

    // Children cover this element: keep its own painting out of them.
    cRect visible;
    for (cChildElement* child = NextChild(nullptr); child; child = NextChild(child)) {
        if (child->IsPaintable() && ChildVisibleRect(child, client, origin, &visible))
            canvas->ExcludeClipRect(&visible);
    }
    canvas->ApplyClip();

    PaintSelf(canvas);

    const cRect strips[4] = {
        {0, 0, client.x, height},
        {0, 0, width, client.y},
        {client.x + client.width, 0, width - client.x - client.width, height},
        {0, client.y + client.height, width, height - client.y - client.height},
    };
    for (const cRect& strip : strips) {
        if (strip.width > 0 && strip.height > 0)
            canvas->ExcludeClipRect(&strip);
    }
    canvas->ApplyClip();

    for (cChildElement* child = NextChild(nullptr); child; child = NextChild(child)) {
        if (!child->IsPaintable() || !ChildVisibleRect(child, client, origin, &visible))
            continue;
        canvas->IncludeClipRect(&visible);
        ExcludePaintedSiblings(canvas, child, client, origin, visible);
        canvas->ApplyClip();
        cRect full{child->x + (FixedHorizontallyHere(child) ? 0 : origin.x),
                   child->y + (FixedVerticallyHere(child) ? 0 : origin.y), child->width, child->height};
        if (canvas->IsRectVisible(&full)) {
            cCanvas* sub = canvas->CreateSubCanvas(&full);
            if (sub) {
                child->PaintTree(sub);
                delete sub;
            }
        }
        canvas->ExcludeClipRect(&visible);
    }
}

void cChildElement::ExcludePaintedSiblings(cCanvas* canvas, const cChildElement* child, const cRect& client,
                                           cPoint origin, const cRect& visible)
{
    // Including the child's rectangle (a union) gave back what earlier,
    // lower-addressed siblings cover: take it away again, so that the
    // sibling painted first stays on top.
    cRect earlier;
    for (cChildElement* sibling = NextChild(nullptr); sibling && sibling != child; sibling = NextChild(sibling)) {
        if (!sibling->IsPaintable() || !ChildVisibleRect(sibling, client, origin, &earlier))
            continue;
        bool overlaps = earlier.x < visible.x + visible.width && visible.x < earlier.x + earlier.width &&
                        earlier.y < visible.y + visible.height && visible.y < earlier.y + earlier.height;
        if (overlaps)
            canvas->ExcludeClipRect(&earlier);
    }
}

void cChildElement::PaintSelf(cCanvas* canvas)
{
    if (back_buffer) {
        cCanvas* offscreen = canvas->CreateOffscreen(width, height, -1, -1);
        if (offscreen) {
            PaintContent(offscreen);
            canvas->CopyArea(0, 0, offscreen, 0, 0, width, height);
            delete offscreen;
            return;
        }
    }
    PaintContent(canvas);
}

void cChildElement::PaintContent(cCanvas* canvas)
{
    if (transparent && parent) {
        cRect under = GetBounds();
        parent->EraseBackground(canvas, &under);
    }
    Paint(canvas);
}

bool cChildElement::DrawBackground(cCanvas* canvas, const cRect* rect)
{
    if (!canvas || !rect)
        return false;
    if (transparent && parent) {
        cRect under{rect->x + x, rect->y + y, rect->width, rect->height};
        return parent->EraseBackground(canvas, &under);
    }
    return PaintBackground(canvas, rect);
}

// The background colour goes down first: a background painting that
// claims success but draws nothing (a theme image that could not be
// scaled) must not leave a back buffer's initial black showing.
bool cChildElement::EraseBackground(cCanvas* canvas, const cRect* rect)
{
    if (!canvas || !rect)
        return false;
    cRect whole{0, 0, canvas->GetWidth(), canvas->GetHeight()};
    canvas->FillRect(&whole, background_colour, background_colour);
    DrawBackground(canvas, rect);
    return true;
}

void cChildElement::SetTransparent(bool on)
{
    if (transparent == on)
        return;
    transparent = on;
    Redraw(nullptr);
}
