#ifndef GUI_WND_LITE_H
#define GUI_WND_LITE_H

#include <stdint.h>
#include <windows.h>

#include "base/buffers/guardchar.h"

// One Windows window (or dialog) whose messages become calls of virtual
// operations. The object exists before its window: create_class_window or a
// modal run binds the two through the window's GWL_USERDATA slot. A window
// procedure answers for a plain window what DefWindowProcW answers; a dialog
// answers 0 for what it does not handle.
class cWndLite {
public:
    // class_name selects the window class "cGUIWndClass::<name>"; null or
    // empty means "Base".
    explicit cWndLite(const char* class_name);
    // Unbinds the window first (no message reaches a half-destroyed object),
    // then destroys it when the object owns it.
    virtual ~cWndLite();
    cWndLite(const cWndLite&) = delete;
    cWndLite& operator=(const cWndLite&) = delete;

    virtual LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
    // Window creation bookkeeping, then HandleMessage.
    virtual LRESULT OnRawMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    virtual void OnCreate();
    virtual void OnPaint(HDC dc, const RECT* paint_rect);
    // True: the background is never erased by Windows.
    virtual bool OnEraseBackground(HDC dc);
    virtual LRESULT OnClose();
    // Both sent on to the parent window, or to DefWindowProcW without one.
    virtual LRESULT OnNotify(LPARAM lparam, WPARAM wparam);
    virtual LRESULT OnCommand(LPARAM lparam, WPARAM wparam);
    // The proposed outer rectangle after clamping to the size limits.
    virtual void OnSizing(RECT* rect);
    virtual void OnSize(int32_t width, int32_t height);
    virtual void OnMaximize();
    virtual void OnMinimize();
    // WM_USER with any wParam other than -1 to -6.
    virtual LRESULT OnUserMessage(WPARAM wparam, LPARAM lparam);
    // WM_USER with wParam -1 to -5: the signed high and low words of lParam.
    virtual void OnUserSignal1(int32_t high, int32_t low);
    virtual void OnUserSignal2(int32_t high, int32_t low);
    virtual void OnUserSignal3(int32_t high, int32_t low);
    virtual void OnUserSignal4(int32_t high, int32_t low);
    virtual void OnUserSignal5(int32_t high, int32_t low);
    // WM_USER with wParam -6.
    virtual void OnUserSignal6(LPARAM lparam);
    virtual void OnLButtonDblClk(int32_t x, int32_t y, uint32_t key_flags);
    virtual void OnLButtonDown(int32_t x, int32_t y, uint32_t key_flags);
    virtual void OnLButtonUp(int32_t x, int32_t y, uint32_t key_flags);
    virtual void OnRButtonDown(int32_t x, int32_t y, uint32_t key_flags);
    virtual void OnRButtonUp(int32_t x, int32_t y, uint32_t key_flags);
    virtual void OnMouseMove(int32_t x, int32_t y, uint32_t key_flags);
    virtual void OnMouseEnter(int32_t x, int32_t y);
    virtual void OnMouseLeave();
    // The point in screen coordinates; up 1 for a turn away from the user;
    // steps counts whole notches of 120 units.
    virtual LRESULT OnMouseWheel(int32_t x, int32_t y, bool up, bool ctrl, int32_t steps);
    virtual void OnSetFocus();
    virtual void OnKillFocus();
    // key_data is the high word of lParam (scan code and transition bits).
    virtual void OnKeyDown(uint32_t key, uint32_t key_data);
    virtual void OnKeyUp(uint32_t key, uint32_t key_data);
    virtual void OnSysKeyDown(uint32_t key, uint32_t key_data);
    virtual void OnSysKeyUp(uint32_t key, uint32_t key_data);
    virtual void OnHotKey(WPARAM id, uint32_t low, uint32_t high);
    // Invalidates (null = the whole client area) and posts WM_PAINT.
    virtual void PostRepaint(const RECT* rect);
    virtual void InvalidateClient(const RECT* rect);
    // 0xFFFFFFFF = no background fill.
    virtual void SetBackgroundColour(COLORREF colour);

    HWND GetHandle() const { return window; }
    // Binds a window handle to the object without touching the window.
    void SetHandle(HWND handle) { window = handle; }
    bool IsDialog() const { return dialog != 0; }
    void SetDialog(bool on) { dialog = on ? 1 : 0; }
    bool OwnsWindow() const { return owns_window != 0; }
    void SetOwnsWindow(bool on) { owns_window = on ? 1 : 0; }
    cWndLite* GetParentObject() const { return parent_object; }
    void SetParentObject(cWndLite* parent) { parent_object = parent; }
    const char* GetWindowClassName() const { return class_name.Text(); }
    // Outer size limits for WM_SIZING (and, for the maximum, a maximised
    // window); a value <= 0 means none.
    void SetMinimumSize(int32_t width, int32_t height);
    void SetMaximumSize(int32_t width, int32_t height);
    // Forgets font and mouse tracking before a new window is made.
    void ResetForCreation();
    // Unbinds the window from the object, then destroys it.
    void DestroyOwnWindow();
    int32_t GetWheelRemainder() const { return wheel_remainder; }

protected:
    // What an unhandled message answers: DefWindowProcW for a plain window,
    // 0 for a dialog.
    LRESULT DefaultAnswer(UINT message, WPARAM wparam, LPARAM lparam);

private:
    LRESULT HandlePaint(UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT HandleSize(WPARAM kind, int32_t width, int32_t height);
    LRESULT HandleMouseMove(WPARAM wparam, LPARAM lparam);
    LRESULT HandleMouseWheel(WPARAM wparam, LPARAM lparam);
    LRESULT HandleUser(WPARAM wparam, LPARAM lparam);
    void ClampSizing(WPARAM edge, RECT* rect) const;
    LRESULT PassToParent(UINT message, WPARAM wparam, LPARAM lparam);

    HWND window;
    uint8_t dialog;
    int32_t min_width;
    int32_t min_height;
    int32_t max_width;
    int32_t max_height;
    uint8_t owns_window;
    uint8_t mouse_tracked;
    HFONT font;
    cWndLite* parent_object;
    _guardchar<char> class_name;
    int32_t wheel_remainder;
    COLORREF background_colour;
    HBRUSH background_brush;
};

// The outer size of a window whose client area is width x height, from the
// difference between the window's current outer and client rectangles.
bool outer_size_for_client(HWND window, int32_t width, int32_t height, int32_t* outer_width, int32_t* outer_height);
// Moves the window's frame to (x, y) with a client area of width x height.
// A top-level window with a title bar is kept inside the work area of the
// monitor nearest it: moved in from the right and bottom edges, then from
// the left and top ones, so that a window larger than the work area keeps
// its title bar in it. False when the window's sizes cannot be had.
bool place_window(HWND window, int32_t x, int32_t y, int32_t width, int32_t height);

#endif
