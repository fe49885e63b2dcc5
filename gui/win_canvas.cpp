#include "gui/win_canvas.h"

#include "gui/font.h"
#include "gui/offscreen_canvas.h"
#include "gui/ui_font.h"

static const uint32_t no_colour = 0xFFFFFFFFu;

static HRGN region_of(const cRectEdges& edges)
{
    return CreateRectRgn(edges.left, edges.top, edges.right, edges.bottom);
}

cWinCanvas::cWinCanvas()
    : area{0, 0, 0, 0}, dc(nullptr), window(nullptr), clip(nullptr), update(nullptr), inherited(nullptr),
      borrowed(true), frame_pen{nullptr, no_colour, 0}, line_pen{nullptr, no_colour, 0}, brush{nullptr, no_colour},
      font(nullptr), text_colour(0), background_colour(0xFFFFFF)
{
}

cWinCanvas::~cWinCanvas()
{
    Release();
    if (frame_pen.handle)
        DeleteObject(frame_pen.handle);
    if (line_pen.handle)
        DeleteObject(line_pen.handle);
    if (brush.handle)
        DeleteObject(brush.handle);
}

// A pen or brush still selected into a device context cannot be deleted:
// put stock objects in their place before the context outlives them or is
// given back.
void cWinCanvas::DeselectOwnObjects()
{
    if (!dc)
        return;
    HGDIOBJ current_pen = GetCurrentObject(dc, OBJ_PEN);
    if (current_pen && (current_pen == frame_pen.handle || current_pen == line_pen.handle))
        SelectObject(dc, GetStockObject(BLACK_PEN));
    if (brush.handle && GetCurrentObject(dc, OBJ_BRUSH) == brush.handle)
        SelectObject(dc, GetStockObject(WHITE_BRUSH));
}

void cWinCanvas::Release()
{
    DeselectOwnObjects();
    if (dc && !borrowed) {
        if (window)
            ReleaseDC(window, dc);
        else
            DeleteDC(dc);
    }
    dc = nullptr;
    window = nullptr;
    DeleteBackBuffer();
    HRGN* regions[3] = {&clip, &update, &inherited};
    for (HRGN* region : regions) {
        if (*region)
            DeleteObject(*region);
        *region = nullptr;
    }
}

bool cWinCanvas::CreateBackBuffer(int32_t, int32_t) { return false; }

void cWinCanvas::DeleteBackBuffer() {}

// Black 1-pixel pens, a white brush, the interface font at the default size,
// black text on white.
void cWinCanvas::SetUpDefaults()
{
    UsePen(frame_pen, 0, 1);
    UsePen(line_pen, 0, 1);
    UseBrush(0xFFFFFF);
    SelectFontBy(5, 13, get_ui_font_face_name(), false, false, false);
    text_colour = 0;
    background_colour = 0xFFFFFF;
}

bool cWinCanvas::UsePen(cCachedPen& pen, uint32_t colour, int32_t width)
{
    if (!pen.handle || pen.colour != colour || pen.width != width) {
        if (pen.handle) {
            if (dc && GetCurrentObject(dc, OBJ_PEN) == pen.handle)
                SelectObject(dc, GetStockObject(BLACK_PEN));
            DeleteObject(pen.handle);
        }
        pen.handle = CreatePen(PS_SOLID, width, colour);
        pen.colour = pen.handle ? colour : no_colour;
        pen.width = width;
    }
    if (!pen.handle)
        return false;
    if (dc)
        SelectObject(dc, pen.handle);
    return true;
}

bool cWinCanvas::UseBrush(uint32_t colour)
{
    if (!brush.handle || brush.colour != colour) {
        if (brush.handle) {
            if (dc && GetCurrentObject(dc, OBJ_BRUSH) == brush.handle)
                SelectObject(dc, GetStockObject(WHITE_BRUSH));
            DeleteObject(brush.handle);
        }
        brush.handle = CreateSolidBrush(colour);
        brush.colour = brush.handle ? colour : no_colour;
    }
    if (!brush.handle)
        return false;
    if (dc)
        SelectObject(dc, brush.handle);
    return true;
}

bool cWinCanvas::BeginWindowPaint(const cRect* area_or_null, HWND target)
{
    Release();
    if (!target)
        return false;
    borrowed = false;
    if (area_or_null) {
        area = {area_or_null->x, area_or_null->y, area_or_null->x + area_or_null->width,
                area_or_null->y + area_or_null->height};
    } else {
        RECT client = {};
        if (!GetClientRect(target, &client))
            return false;
        area = {client.left, client.top, client.right, client.bottom};
    }
    window = target;
    update = CreateRectRgn(0, 0, 0, 0);
    clip = region_of(area);
    if (!update || !clip)
        return false;
    GetUpdateRgn(target, update, FALSE);
    CombineRgn(clip, clip, update, RGN_AND);
    dc = ::GetDC(target);
    if (!dc)
        return false;
    SetUpDefaults();
    return true;
}

bool cWinCanvas::InitOffscreen(HDC source, int32_t width, int32_t height, int32_t source_x, int32_t source_y)
{
    Release();
    borrowed = false;
    area = {0, 0, width, height};
    if (width <= 0 || height <= 0)
        return false;
    dc = CreateCompatibleDC(source);
    if (!dc || !CreateBackBuffer(width, height))
        return false;
    update = region_of(area);
    clip = region_of(area);
    if (!update || !clip)
        return false;
    SetUpDefaults();
    if (source && (source_x != -1 || source_y != -1))
        BitBlt(dc, 0, 0, width, height, source, source_x, source_y, SRCCOPY);
    return true;
}

int32_t cWinCanvas::GetWidth() { return area.right - area.left; }

int32_t cWinCanvas::GetHeight() { return area.bottom - area.top; }

cCanvas* cWinCanvas::CreateSubCanvas(const cRect* rect)
{
    if (!rect || !dc)
        return nullptr;
    int64_t left = int64_t(area.left) + rect->x;
    int64_t top = int64_t(area.top) + rect->y;
    int64_t right = left + rect->width;
    int64_t bottom = top + rect->height;
    if (left > area.right || top > area.bottom || right < area.left || bottom < area.top)
        return nullptr;
    cWinCanvas* sub = new cWinCanvas;
    if (!sub)
        return nullptr;
    right = right < area.right ? right : area.right;
    bottom = bottom < area.bottom ? bottom : area.bottom;
    sub->area = {int32_t(left), int32_t(top), int32_t(right < left ? left : right),
                 int32_t(bottom < top ? top : bottom)};
    sub->dc = dc;
    sub->window = window;
    sub->clip = region_of(sub->area);
    sub->update = region_of(sub->area);
    sub->inherited = region_of(sub->area);
    if (!sub->clip || !sub->update || !sub->inherited) {
        delete sub;
        return nullptr;
    }
    CombineRgn(sub->update, sub->update, update, RGN_AND);
    CombineRgn(sub->inherited, sub->inherited, clip, RGN_AND);
    if (inherited)
        CombineRgn(sub->inherited, sub->inherited, inherited, RGN_AND);
    sub->SetUpDefaults();
    return sub;
}

cCanvas* cWinCanvas::CreateOffscreen(int32_t width, int32_t height, int32_t source_x, int32_t source_y)
{
    if (!dc)
        return nullptr;
    cWOffscreenCanvas* offscreen = new cWOffscreenCanvas;
    if (!offscreen)
        return nullptr;
    if (!offscreen->InitOffscreen(dc, width, height, source_x == -1 ? -1 : area.left + source_x,
                                  source_y == -1 ? -1 : area.top + source_y)) {
        delete offscreen;
        return nullptr;
    }
    return offscreen;
}

// The source must be a GDI canvas and the source point inside it; the
// copied size is cut to the source's edges.
bool cWinCanvas::CopyArea(int32_t x, int32_t y, cCanvas* source, int32_t source_x, int32_t source_y, int32_t width,
                          int32_t height)
{
    cWinCanvas* from = dynamic_cast<cWinCanvas*>(source);
    if (!dc || !from || !from->dc)
        return false;
    int32_t source_width = from->GetWidth();
    int32_t source_height = from->GetHeight();
    if (source_x < 0 || source_y < 0 || source_x >= source_width || source_y >= source_height)
        return false;
    if (width <= 0 || int64_t(source_x) + width > source_width)
        width = source_width - source_x;
    if (height <= 0 || int64_t(source_y) + height > source_height)
        height = source_height - source_y;
    return BitBlt(dc, area.left + x, area.top + y, width, height, from->dc, from->area.left + source_x,
                  from->area.top + source_y, SRCCOPY) != 0;
}
