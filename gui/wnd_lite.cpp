#include "gui/wnd_lite.h"

#include "gui/window_class.h"

namespace {

const WPARAM user_signal_first = WPARAM(-6);

int32_t signed_low(LPARAM value)
{
    return int16_t(LOWORD(value));
}

int32_t signed_high(LPARAM value)
{
    return int16_t(HIWORD(value));
}

bool is_left_edge(WPARAM edge)
{
    return edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT;
}

bool is_bottom_edge(WPARAM edge)
{
    return edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT;
}

// Moves one horizontal edge so that the width becomes limit.
void set_width(RECT* rect, WPARAM edge, int32_t limit)
{
    if (is_left_edge(edge))
        rect->left = rect->right - limit;
    else
        rect->right = rect->left + limit;
}

void set_height(RECT* rect, WPARAM edge, int32_t limit)
{
    if (is_bottom_edge(edge))
        rect->bottom = rect->top + limit;
    rect->top = rect->bottom - limit;
}

}  // namespace

cWndLite::cWndLite(const char* name)
    : window(nullptr),
      dialog(0),
      min_width(-1),
      min_height(-1),
      max_width(-1),
      max_height(-1),
      owns_window(1),
      mouse_tracked(0),
      font(nullptr),
      parent_object(nullptr),
      wheel_remainder(0),
      background_colour(CLR_INVALID),
      background_brush(nullptr)
{
    class_name.Assign(name && name[0] ? name : "Base");
}

cWndLite::~cWndLite()
{
    if (window && owns_window)
        DestroyOwnWindow();
    else if (window)
        unbind_window_object(window);
    window = nullptr;
    if (background_brush)
        DeleteObject(background_brush);
}

void cWndLite::SetMinimumSize(int32_t width, int32_t height)
{
    min_width = width;
    min_height = height;
}

void cWndLite::SetMaximumSize(int32_t width, int32_t height)
{
    max_width = width;
    max_height = height;
}

void cWndLite::ResetForCreation()
{
    font = nullptr;
    owns_window = 1;
    mouse_tracked = 0;
}

void cWndLite::DestroyOwnWindow()
{
    HWND old = window;
    if (!old)
        return;
    unbind_window_object(old);
    window = nullptr;
    ::DestroyWindow(old);
}

LRESULT cWndLite::DefaultAnswer(UINT message, WPARAM wparam, LPARAM lparam)
{
    if (dialog || !window)
        return 0;
    return DefWindowProcW(window, message, wparam, lparam);
}

LRESULT cWndLite::OnRawMessage(HWND handle, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_CREATE:
        window = handle;
        dialog = 0;
        OnCreate();
        return 0;
    case WM_INITDIALOG:
        window = handle;
        dialog = 1;
        SetClassLongPtrW(handle, GCLP_HICON, LONG_PTR(get_application_icon()));
        OnCreate();
        return 0;
    case WM_NCDESTROY: {
        // The window is gone however it went: the object must not keep a
        // handle that Windows may give to another window.
        LRESULT result = DefaultAnswer(message, wparam, lparam);
        unbind_window_object(handle);
        if (window == handle)
            window = nullptr;
        mouse_tracked = 0;
        return result;
    }
    default:
        return HandleMessage(message, wparam, lparam);
    }
}

LRESULT cWndLite::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam)
{
    int32_t x = signed_low(lparam);
    int32_t y = signed_high(lparam);
    uint32_t flags = uint32_t(wparam);
    switch (message) {
    case WM_PAINT:
        return HandlePaint(message, wparam, lparam);
    case WM_SIZE:
        return HandleSize(wparam, LOWORD(lparam), HIWORD(lparam));
    case WM_SETFOCUS:
        OnSetFocus();
        break;
    case WM_KILLFOCUS:
        OnKillFocus();
        break;
    case WM_CLOSE:
        return OnClose();
    case WM_ERASEBKGND:
        if (OnEraseBackground(HDC(wparam)))
            return 1;
        break;
    case WM_SETFONT:
        font = HFONT(wparam);
        break;
    case WM_GETFONT:
        return LRESULT(font);
    case WM_NOTIFY:
        return OnNotify(lparam, wparam);
    case WM_COMMAND:
        return OnCommand(lparam, wparam);
    case WM_KEYDOWN:
        OnKeyDown(uint32_t(wparam), HIWORD(lparam));
        break;
    case WM_KEYUP:
        OnKeyUp(uint32_t(wparam), HIWORD(lparam));
        break;
    case WM_SYSKEYDOWN:
        OnSysKeyDown(uint32_t(wparam), HIWORD(lparam));
        break;
    case WM_SYSKEYUP:
        OnSysKeyUp(uint32_t(wparam), HIWORD(lparam));
        break;
    case WM_MOUSEMOVE:
        return HandleMouseMove(wparam, lparam);
    case WM_LBUTTONDOWN:
        SetFocus(window);
        OnLButtonDown(x, y, flags);
        break;
    case WM_RBUTTONDOWN:
        SetFocus(window);
        OnRButtonDown(x, y, flags);
        break;
    case WM_LBUTTONUP:
        OnLButtonUp(x, y, flags);
        break;
    case WM_RBUTTONUP:
        OnRButtonUp(x, y, flags);
        break;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(x, y, flags);
        break;
    case WM_MOUSEWHEEL:
        return HandleMouseWheel(wparam, lparam);
    case WM_SIZING:
        ClampSizing(wparam, reinterpret_cast<RECT*>(lparam));
        OnSizing(reinterpret_cast<RECT*>(lparam));
        return 1;
    case WM_MOUSELEAVE: {
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE | TME_CANCEL, window, 0};
        TrackMouseEvent(&track);
        mouse_tracked = 0;
        OnMouseLeave();
        break;
    }
    case WM_HOTKEY:
        OnHotKey(wparam, LOWORD(lparam), HIWORD(lparam));
        break;
    case WM_USER:
        return HandleUser(wparam, lparam);
    default:
        break;
    }
    return DefaultAnswer(message, wparam, lparam);
}

LRESULT cWndLite::HandlePaint(UINT message, WPARAM wparam, LPARAM lparam)
{
    RECT update;
    if (GetUpdateRect(window, &update, FALSE) && !IsRectEmpty(&update)) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (dc) {
            if (background_brush)
                FillRect(dc, &paint.rcPaint, background_brush);
            OnPaint(dc, &paint.rcPaint);
            EndPaint(window, &paint);
        }
    }
    return DefaultAnswer(message, wparam, lparam);
}

LRESULT cWndLite::HandleSize(WPARAM kind, int32_t width, int32_t height)
{
    if (kind == SIZE_MINIMIZED) {
        OnMinimize();
        return 0;
    }
    if (kind == SIZE_MAXIMIZED) {
        // The limits are outer sizes, as for WM_SIZING.
        RECT desktop;
        int32_t outer_width, outer_height;
        if (GetWindowRect(GetDesktopWindow(), &desktop) &&
            outer_size_for_client(window, width, height, &outer_width, &outer_height)) {
            int32_t w = max_width > 0 && outer_width > max_width ? max_width : outer_width;
            int32_t h = max_height > 0 && outer_height > max_height ? max_height : outer_height;
            if (w != outer_width || h != outer_height)
                MoveWindow(window, (desktop.right - w) / 2, (desktop.bottom - h) / 2, w, h, TRUE);
        }
        OnMaximize();
    }
    OnSize(width, height);
    return 0;
}

LRESULT cWndLite::HandleMouseMove(WPARAM wparam, LPARAM lparam)
{
    int32_t x = signed_low(lparam);
    int32_t y = signed_high(lparam);
    if (!mouse_tracked) {
        mouse_tracked = 1;
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, window, 0};
        TrackMouseEvent(&track);
        OnMouseEnter(x, y);
    }
    OnMouseMove(x, y, uint32_t(wparam));
    return DefaultAnswer(WM_MOUSEMOVE, wparam, lparam);
}

LRESULT cWndLite::HandleMouseWheel(WPARAM wparam, LPARAM lparam)
{
    int32_t x = signed_low(lparam);
    int32_t y = signed_high(lparam);
    bool ctrl = (GET_KEYSTATE_WPARAM(wparam) & MK_CONTROL) != 0;
    wheel_remainder += GET_WHEEL_DELTA_WPARAM(wparam);
    if (wheel_remainder >= WHEEL_DELTA) {
        int32_t steps = wheel_remainder / WHEEL_DELTA;
        wheel_remainder -= steps * WHEEL_DELTA;
        OnMouseWheel(x, y, true, ctrl, steps);
    } else if (wheel_remainder <= -WHEEL_DELTA) {
        int32_t steps = -wheel_remainder / WHEEL_DELTA;
        wheel_remainder += steps * WHEEL_DELTA;
        OnMouseWheel(x, y, false, ctrl, steps);
    }
    return DefaultAnswer(WM_MOUSEWHEEL, wparam, lparam);
}

LRESULT cWndLite::HandleUser(WPARAM wparam, LPARAM lparam)
{
    if (wparam < user_signal_first)
        return OnUserMessage(wparam, lparam);
    int32_t high = signed_high(lparam);
    int32_t low = signed_low(lparam);
    switch (wparam) {
    case WPARAM(-1):
        OnUserSignal1(high, low);
        break;
    case WPARAM(-2):
        OnUserSignal2(high, low);
        break;
    case WPARAM(-3):
        OnUserSignal3(high, low);
        break;
    case WPARAM(-4):
        OnUserSignal4(high, low);
        break;
    case WPARAM(-5):
        OnUserSignal5(high, low);
        break;
    default:
        OnUserSignal6(lparam);
        break;
    }
    return DefaultAnswer(WM_USER, wparam, lparam);
}

void cWndLite::ClampSizing(WPARAM edge, RECT* rect) const
{
    if (!rect)
        return;
    int32_t width = rect->right - rect->left;
    int32_t height = rect->bottom - rect->top;
    if (min_width > 0 && width < min_width)
        set_width(rect, edge, min_width);
    else if (max_width > 0 && width > max_width)
        set_width(rect, edge, max_width);
    if (min_height > 0 && height < min_height)
        set_height(rect, edge, min_height);
    else if (max_height > 0 && height > max_height)
        set_height(rect, edge, max_height);
}

LRESULT cWndLite::PassToParent(UINT message, WPARAM wparam, LPARAM lparam)
{
    if (parent_object && parent_object->window)
        return SendMessageW(parent_object->window, message, wparam, lparam);
    return window ? DefWindowProcW(window, message, wparam, lparam) : 0;
}

void cWndLite::OnCreate() {}

void cWndLite::OnPaint(HDC, const RECT*) {}

bool cWndLite::OnEraseBackground(HDC)
{
    return true;
}

LRESULT cWndLite::OnClose()
{
    if (dialog) {
        EndDialog(window, 0);
        return 0;
    }
    // WM_NCDESTROY clears the handle.
    ::DestroyWindow(window);
    return 0;
}

LRESULT cWndLite::OnNotify(LPARAM lparam, WPARAM wparam)
{
    return PassToParent(WM_NOTIFY, wparam, lparam);
}

LRESULT cWndLite::OnCommand(LPARAM lparam, WPARAM wparam)
{
    return PassToParent(WM_COMMAND, wparam, lparam);
}

void cWndLite::OnSizing(RECT*) {}

void cWndLite::OnSize(int32_t, int32_t) {}

void cWndLite::OnMaximize() {}

void cWndLite::OnMinimize() {}

LRESULT cWndLite::OnUserMessage(WPARAM, LPARAM)
{
    return 0;
}

void cWndLite::OnUserSignal1(int32_t, int32_t) {}

void cWndLite::OnUserSignal2(int32_t, int32_t) {}

void cWndLite::OnUserSignal3(int32_t, int32_t) {}

void cWndLite::OnUserSignal4(int32_t, int32_t) {}

void cWndLite::OnUserSignal5(int32_t, int32_t) {}

void cWndLite::OnUserSignal6(LPARAM) {}

void cWndLite::OnLButtonDblClk(int32_t, int32_t, uint32_t) {}

void cWndLite::OnLButtonDown(int32_t, int32_t, uint32_t) {}

void cWndLite::OnLButtonUp(int32_t, int32_t, uint32_t) {}

void cWndLite::OnRButtonDown(int32_t, int32_t, uint32_t) {}

void cWndLite::OnRButtonUp(int32_t, int32_t, uint32_t) {}

void cWndLite::OnMouseMove(int32_t, int32_t, uint32_t) {}

void cWndLite::OnMouseEnter(int32_t, int32_t) {}

void cWndLite::OnMouseLeave() {}

LRESULT cWndLite::OnMouseWheel(int32_t, int32_t, bool, bool, int32_t)
{
    return 0;
}

void cWndLite::OnSetFocus() {}

void cWndLite::OnKillFocus() {}

void cWndLite::OnKeyDown(uint32_t, uint32_t) {}

void cWndLite::OnKeyUp(uint32_t, uint32_t) {}

void cWndLite::OnSysKeyDown(uint32_t, uint32_t) {}

void cWndLite::OnSysKeyUp(uint32_t, uint32_t) {}

void cWndLite::OnHotKey(WPARAM, uint32_t, uint32_t) {}

void cWndLite::PostRepaint(const RECT* rect)
{
    InvalidateClient(rect);
    // Without a window PostMessageW would post to the calling thread.
    if (window)
        PostMessageW(window, WM_PAINT, 0, 0);
}

void cWndLite::InvalidateClient(const RECT* rect)
{
    if (window)
        InvalidateRect(window, rect, TRUE);
}

void cWndLite::SetBackgroundColour(COLORREF colour)
{
    if (background_brush) {
        DeleteObject(background_brush);
        background_brush = nullptr;
    }
    background_colour = colour;
    if (colour != CLR_INVALID)
        background_brush = CreateSolidBrush(colour);
}

bool outer_size_for_client(HWND window, int32_t width, int32_t height, int32_t* outer_width, int32_t* outer_height)
{
    RECT outer, client;
    if (!GetWindowRect(window, &outer) || !GetClientRect(window, &client))
        return false;
    *outer_width = width + (outer.right - outer.left) - (client.right - client.left);
    *outer_height = height + (outer.bottom - outer.top) - (client.bottom - client.top);
    return true;
}

namespace {

// Where a span of that length starts once moved inside the area: its end
// pulled in first, then its start, which wins when the span is longer than
// the area.
int32_t fit_span(int32_t start, int32_t length, int32_t area_start, int32_t area_end)
{
    if (start + length > area_end)
        start = area_end - length;
    return start < area_start ? area_start : start;
}

}  // namespace

bool place_window(HWND window, int32_t x, int32_t y, int32_t width, int32_t height)
{
    int32_t outer_width, outer_height;
    if (!outer_size_for_client(window, width, height, &outer_width, &outer_height))
        return false;
    LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    RECT wanted = {x, y, x + outer_width, y + outer_height};
    if (!(style & WS_CHILD) && (style & WS_CAPTION) == WS_CAPTION &&
        GetMonitorInfoW(MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        x = fit_span(x, outer_width, work.left, work.right);
        y = fit_span(y, outer_height, work.top, work.bottom);
    }
    return MoveWindow(window, x, y, outer_width, outer_height, TRUE) != 0;
}
