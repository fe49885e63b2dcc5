#ifndef GUI_WND_TRANSLATOR_H
#define GUI_WND_TRANSLATOR_H

#include <stdint.h>
#include <windows.h>

#include "gui/cursor_shape.h"
#include "gui/key_translation.h"
#include "gui/request_target.h"
#include "gui/wnd_lite.h"

class cChildElement;
struct cStringCatalog;

// The host window of an element tree: window messages become operations of
// the root element (painting, mouse, keys, focus, sizing, closing, action
// queues), and the tree reaches the platform through the request target.
// The root is owned: it is destroyed when replaced and before the window
// when the object goes. Without a root the window behaves as a cWndLite.
class cWndTranslator : public cWndLite, public cWindowRequestTarget {
public:
    cWndTranslator();
    ~cWndTranslator() override;

    // Makes the window for root (owned from now on) at (x, y) with a client
    // area of width x height: a child of parent when one is given, else a
    // top-level window, where -1 centres that coordinate on the desktop.
    // False without a root or when the window cannot be made.
    bool Create(cWndLite* parent, const wchar_t* title, int32_t width, int32_t height, cChildElement* root,
                bool resizable, int32_t x, int32_t y);

    cChildElement* GetRoot() const { return root; }
    // Destroys the current root and keeps the new one (not yet attached).
    void SetRoot(cChildElement* new_root);
    // Forgets the root without destroying it and answers it.
    cChildElement* ReleaseRoot();
    // The dialog shell that hosts this window during a modal run, or null.
    void SetHostDialog(cWndLite* dialog) { host_dialog = dialog; }
    cWndLite* GetHostDialog() const { return host_dialog; }
    // The catalog whose sections GetStringTable answers; null = none.
    void SetCatalog(const cStringCatalog* strings) { catalog = strings; }
    const cStringCatalog* GetCatalog() const { return catalog; }
    int32_t GetAltState() const { return alt_state; }
    // The layout's key translation: ToUnicode unless replaced.
    void UseKeyTranslation(to_unicode_function function) { composer = cKeyComposer(function); }
    // Tells the root that the window is no longer the active one; the
    // dialog shell of a modal run passes its own deactivation on here.
    void NotifyDeactivated();

    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    void OnCreate() override;
    LRESULT OnClose() override;
    void OnSize(int32_t width, int32_t height) override;
    LRESULT OnUserMessage(WPARAM wparam, LPARAM lparam) override;
    void OnLButtonDown(int32_t x, int32_t y, uint32_t key_flags) override;
    void OnLButtonUp(int32_t x, int32_t y, uint32_t key_flags) override;
    void OnRButtonDown(int32_t x, int32_t y, uint32_t key_flags) override;
    void OnRButtonUp(int32_t x, int32_t y, uint32_t key_flags) override;
    void OnMouseMove(int32_t x, int32_t y, uint32_t key_flags) override;
    void OnMouseLeave() override;
    LRESULT OnMouseWheel(int32_t x, int32_t y, bool up, bool ctrl, int32_t steps) override;
    void OnSetFocus() override;
    void OnKillFocus() override;

    void DestroyWindow() override;
    void EndModal(intptr_t result) override;
    bool Minimize() override;
    bool Maximize() override;
    bool MoveWindow(int32_t x, int32_t y, int32_t width, int32_t height) override;
    cWndTranslator* GetWindow() override;
    void InvalidateWindow(const cRectEdges* rect) override;
    bool PostPendingPosted(cChildElement* element) override;
    bool PostPendingSent(cChildElement* element) override;
    bool SetMouseCapture(bool on) override;
    bool SetCursorShape(uint32_t kind) override;
    bool ClipboardPutText(const wchar_t* text, uint32_t size_in_bytes) override;
    bool ClipboardGetText(_typebuf<uint8_t>& out) override;
    bool ClipboardPutBytes(const void* bytes, uint32_t size) override;
    bool ClipboardGetBytes(_typebuf<uint8_t>& out) override;
    bool ClipboardHasData(bool text_only) override;
    bool SetMinClientSize(int32_t width, int32_t height) override;
    bool SetMaxClientSize(int32_t width, int32_t height) override;
    bool GetWindowBounds(cRect* bounds) override;
    bool GetWorkArea(cSize* size) override;
    bool GetScreenArea(cSize* size) override;
    bool IsResizable() override;
    int32_t GetDpi() override;
    bool KeepAwake() override;
    bool AllowSleep() override;
    void SetTitle(const wchar_t* text) override;
    cFontObject* GetFont(int32_t width, int32_t height, const wchar_t* face, bool bold, bool underline,
                         bool italic) override;
    const cStringArray* GetStringTable(const wchar_t* section) override;
    bool MeasureText(cFontObject* font, const wchar_t* text, cSize* size) override;
    cWindowHolder* ShowPopup(int32_t x, int32_t y, int32_t width, int32_t height, cChildElement* root,
                             bool activate) override;
    intptr_t RunModal(const wchar_t* title, int32_t width, int32_t height, cChildElement* root,
                      bool resizable) override;
    intptr_t RunPopupModal(int32_t x, int32_t y, int32_t width, int32_t height, cChildElement* root) override;
    bool SetWindowFocus() override;

private:
    // The window that moves, shows and sizes: the host dialog's during a
    // modal run, else the own one.
    HWND FrameWindow() const;
    cWndLite* FrameObject();
    LRESULT PaintTree();
    LRESULT HandleKeyDown(UINT message, WPARAM wparam, LPARAM lparam);
    void DispatchButton(int32_t x, int32_t y, int32_t button, bool pressed, uint32_t key_flags);

    cChildElement* root;
    cWndLite* host_dialog;
    const cStringCatalog* catalog;
    cCursorShape cursor;
    // 0 idle, 1 Alt pressed alone, 2 Alt held while another key went down.
    int32_t alt_state;
    cKeyComposer composer;
};

#endif
