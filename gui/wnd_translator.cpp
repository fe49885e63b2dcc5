#include "gui/wnd_translator.h"

#include <windowsx.h>

#include "gui/child_element.h"
#include "gui/window_class.h"

namespace {

const WPARAM posted_actions_signal = 0x00AC1104;
const WPARAM sent_actions_signal = 0x0AC11040;
const LRESULT menu_char_close = 0x10000;

const DWORD host_window_style = WS_VISIBLE | WS_SYSMENU;
const DWORD resizable_style = WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

// Worker threads call this. Without a window there is nobody to drain:
// PostMessageW would post to the calling thread and report success, and a
// waiting sender would never wake.
// The outer size limits for client size limits; a client limit <= 0 means
// none and stays none, instead of becoming the frame's size.
bool outer_size_limits(HWND frame, int32_t width, int32_t height, int32_t* outer_width, int32_t* outer_height)
{
    if (!outer_size_for_client(frame, width, height, outer_width, outer_height))
        return false;
    if (width <= 0)
        *outer_width = -1;
    if (height <= 0)
        *outer_height = -1;
    return true;
}

bool post_wake_up(HWND window, WPARAM signal, cChildElement* element)
{
    return window && PostMessageW(window, WM_USER, signal, LPARAM(element)) != 0;
}

}  // namespace

cWndTranslator::cWndTranslator()
    : cWndLite("cWndTranslator"), root(nullptr), host_dialog(nullptr), catalog(nullptr), alt_state(0)
{
}

cWndTranslator::~cWndTranslator()
{
    SetRoot(nullptr);
}

void cWndTranslator::SetRoot(cChildElement* new_root)
{
    // Messages sent while the old tree is destroyed find no root.
    cChildElement* old = root;
    root = new_root;
    if (old && old != new_root)
        delete old;
}

cChildElement* cWndTranslator::ReleaseRoot()
{
    cChildElement* kept = root;
    root = nullptr;
    if (kept)
        kept->DetachWindow();
    return kept;
}

bool cWndTranslator::Create(cWndLite* parent, const wchar_t* title, int32_t width, int32_t height,
                            cChildElement* new_root, bool resizable, int32_t x, int32_t y)
{
    if (!new_root)
        return false;
    if (parent) {
        if (x == -1)
            x = 0;
        if (y == -1)
            y = 0;
    } else {
        RECT desktop = {};
        GetWindowRect(GetDesktopWindow(), &desktop);
        if (x == -1)
            x = (desktop.right - width) / 2;
        if (y == -1)
            y = (desktop.bottom - height) / 2;
    }
    SetRoot(new_root);
    new_root->AttachWindow(this, x, y, width, height);
    DWORD style = host_window_style;
    if (parent)
        style |= WS_CHILD;
    if (resizable)
        style |= resizable_style;
    return create_class_window(title, 0, style, x, y, width, height, parent, this);
}

HWND cWndTranslator::FrameWindow() const
{
    return host_dialog && host_dialog->GetHandle() ? host_dialog->GetHandle() : GetHandle();
}

cWndLite* cWndTranslator::FrameObject()
{
    return host_dialog && host_dialog->GetHandle() ? host_dialog : this;
}

LRESULT cWndTranslator::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam)
{
    if (!root)
        return cWndLite::HandleMessage(message, wparam, lparam);
    switch (message) {
    case WM_PAINT:
        return PaintTree();
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS;
    case WM_MENUCHAR:
        return menu_char_close;
    case WM_LBUTTONDBLCLK:
        // The second press of a double click, also when the button is up
        // again by now (a quick click, a tap): its release is queued behind.
        OnLButtonDown(GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam), uint32_t(wparam));
        return 0;
    case WM_CAPTURECHANGED:
        // The tree's own capture moves keep the mouse in this window.
        if (HWND(lparam) != GetHandle())
            root->DropMouseCapture();
        break;
    case WM_CANCELMODE:
        // The default answer then releases the window's capture.
        root->DropMouseCapture();
        break;
    case WM_IME_CHAR:
        root->DispatchChar(wchar_t(wparam), false, false, false);
        return 0;
    case WM_SYSKEYUP:
        if (alt_state == 1) {
            alt_state = 0;
            root->QueryChildren();
            return 0;
        }
        break;
    case WM_SYSKEYDOWN:
        if (wparam == VK_MENU)
            alt_state = 1;
        else if (alt_state == 1)
            alt_state = 2;
        return HandleKeyDown(message, wparam, lparam);
    case WM_KEYDOWN:
        return HandleKeyDown(message, wparam, lparam);
    case WM_ACTIVATE:
        if (LOWORD(wparam) == WA_INACTIVE)
            NotifyDeactivated();
        break;
    default:
        break;
    }
    return cWndLite::HandleMessage(message, wparam, lparam);
}

void cWndTranslator::NotifyDeactivated()
{
    if (root)
        root->OnWindowDeactivated();
}

LRESULT cWndTranslator::HandleKeyDown(UINT message, WPARAM wparam, LPARAM lparam)
{
    BYTE state[256];
    if (!GetKeyboardState(state))
        memset(state, 0, sizeof(state));
    uint32_t key = uint32_t(wparam);
    // Alt+F4 closes through DefWindowProcW, and only when the tree agrees.
    if (key == VK_F4 && (state[VK_MENU] & 0x80))
        return cWndLite::HandleMessage(message, wparam, lparam);
    cKeyPressResult press;
    if (!decide_key_press(composer, key, MapVirtualKeyW(key, MAPVK_VK_TO_VSC), state, &press))
        return 0;
    // The tree may end the run from either call.
    if (press.has_character && root)
        root->DispatchChar(press.character, press.shift, false, press.alt);
    if (press.has_key && root)
        root->DispatchKeyDown(press.key, press.shift, press.ctrl, press.alt);
    return 0;
}

void cWndTranslator::OnCreate()
{
    if (root)
        root->Create();
}

LRESULT cWndTranslator::OnClose()
{
    if (root && !root->CanCloseTree())
        return 1;
    return cWndLite::OnClose();
}

void cWndTranslator::OnSize(int32_t, int32_t)
{
    RECT client;
    if (root && GetClientRect(GetHandle(), &client))
        root->SetSize(client.right - client.left, client.bottom - client.top, false);
}

LRESULT cWndTranslator::OnUserMessage(WPARAM wparam, LPARAM lparam)
{
    cChildElement* element = reinterpret_cast<cChildElement*>(lparam);
    if (!root)
        return 0;
    if (wparam == posted_actions_signal)
        root->DrainPostedActions(element);
    else if (wparam == sent_actions_signal)
        root->DrainSentActions(element);
    return 0;
}

void cWndTranslator::DispatchButton(int32_t x, int32_t y, int32_t button, bool pressed, uint32_t key_flags)
{
    if (root)
        root->DispatchMouseButton(x, y, button, pressed, (key_flags & MK_CONTROL) != 0, (key_flags & MK_SHIFT) != 0);
}

void cWndTranslator::OnLButtonDown(int32_t x, int32_t y, uint32_t key_flags)
{
    DispatchButton(x, y, 1, true, key_flags);
    if (root)
        root->FocusAtPoint(x, y, 1, (key_flags & MK_CONTROL) != 0, (key_flags & MK_SHIFT) != 0);
}

void cWndTranslator::OnLButtonUp(int32_t x, int32_t y, uint32_t key_flags)
{
    DispatchButton(x, y, 1, false, key_flags);
}

void cWndTranslator::OnRButtonDown(int32_t x, int32_t y, uint32_t key_flags)
{
    DispatchButton(x, y, 2, true, key_flags);
}

void cWndTranslator::OnRButtonUp(int32_t x, int32_t y, uint32_t key_flags)
{
    DispatchButton(x, y, 2, false, key_flags);
}

void cWndTranslator::OnMouseMove(int32_t x, int32_t y, uint32_t)
{
    if (root)
        root->DispatchMouseMove(x, y);
}

void cWndTranslator::OnMouseLeave()
{
    if (root)
        root->SetHoverElement(nullptr);
}

LRESULT cWndTranslator::OnMouseWheel(int32_t x, int32_t y, bool up, bool ctrl, int32_t steps)
{
    POINT point = {x, y};
    ScreenToClient(GetHandle(), &point);
    return root && root->DispatchMouseWheel(point.x, point.y, up, ctrl, steps) ? 0 : 1;
}

void cWndTranslator::OnSetFocus()
{
    if (root)
        root->RestoreFocus();
}

void cWndTranslator::OnKillFocus()
{
    if (root)
        root->SaveFocus();
}

void cWndTranslator::DestroyWindow()
{
    DestroyOwnWindow();
}

void cWndTranslator::EndModal(intptr_t result)
{
    HWND parent = GetParent(GetHandle());
    EndDialog(parent ? parent : GetHandle(), result);
}

bool cWndTranslator::Minimize()
{
    ShowWindow(FrameWindow(), SW_MINIMIZE);
    return true;
}

bool cWndTranslator::Maximize()
{
    ShowWindow(FrameWindow(), SW_MAXIMIZE);
    return true;
}

bool cWndTranslator::MoveWindow(int32_t x, int32_t y, int32_t width, int32_t height)
{
    return ::MoveWindow(FrameWindow(), x, y, width, height, TRUE) != 0;
}

cWndTranslator* cWndTranslator::GetWindow()
{
    return this;
}

void cWndTranslator::InvalidateWindow(const cRectEdges* rect)
{
    if (!GetHandle())
        return;
    RECT area;
    if (rect)
        area = RECT{rect->left, rect->top, rect->right, rect->bottom};
    InvalidateRect(GetHandle(), rect ? &area : nullptr, TRUE);
}

bool cWndTranslator::PostPendingPosted(cChildElement* element)
{
    return post_wake_up(GetHandle(), posted_actions_signal, element);
}

bool cWndTranslator::PostPendingSent(cChildElement* element)
{
    return post_wake_up(GetHandle(), sent_actions_signal, element);
}

bool cWndTranslator::SetMouseCapture(bool on)
{
    if (on)
        SetCapture(GetHandle());
    else
        ReleaseCapture();
    return true;
}

bool cWndTranslator::SetCursorShape(uint32_t kind)
{
    return cursor.Set(GetHandle(), kind);
}

bool cWndTranslator::SetMinClientSize(int32_t width, int32_t height)
{
    int32_t outer_width, outer_height;
    if (outer_size_limits(FrameWindow(), width, height, &outer_width, &outer_height))
        FrameObject()->SetMinimumSize(outer_width, outer_height);
    return true;
}

bool cWndTranslator::SetMaxClientSize(int32_t width, int32_t height)
{
    int32_t outer_width, outer_height;
    if (outer_size_limits(FrameWindow(), width, height, &outer_width, &outer_height))
        FrameObject()->SetMaximumSize(outer_width, outer_height);
    return true;
}

bool cWndTranslator::IsResizable()
{
    HWND frame = FrameWindow();
    return frame && (GetWindowLongW(frame, GWL_STYLE) & WS_THICKFRAME) && !IsZoomed(frame);
}

void cWndTranslator::SetTitle(const wchar_t* text)
{
    HWND window = GetHandle();
    if (!window)
        return;
    HWND parent = GetParent(window);
    SetWindowTextW(parent ? parent : window, text ? text : L"");
}

bool cWndTranslator::SetWindowFocus()
{
    HWND window = GetHandle();
    if (!window)
        return false;
    SetFocus(window);
    return GetFocus() == window;
}
