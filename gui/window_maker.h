#ifndef GUI_WINDOW_MAKER_H
#define GUI_WINDOW_MAKER_H

#include <stdint.h>
#include <windows.h>

#include "base/owned_list.h"
#include "gui/geometry.h"
#include "gui/wnd_translator.h"

class cCanvas;
class cChildElement;
class cWindowRequestTarget;
struct cStringCatalog;

// A host window kept in a list: the main host windows of the window maker
// and the popups of ShowPopup. Deleting the holder destroys the window and
// its root element.
class cWindowHolder : public cListItem {
public:
    cWindowHolder() = default;
    ~cWindowHolder() override;

    // True for a holder of a native host window.
    virtual bool IsNative();
    // Destroys the window; the tree stays until the holder is deleted.
    virtual void Close();
    virtual cWindowRequestTarget* GetRequestTarget();
    // Deletes the holder; with keep_root the root element survives it and
    // belongs to the caller again.
    virtual void Release(bool keep_root);
};

// The holder of one cWndTranslator.
class cWWHolder : public cWindowHolder {
public:
    cWWHolder() = default;
    ~cWWHolder() override;

    bool IsNative() override;
    void Close() override;
    cWindowRequestTarget* GetRequestTarget() override;
    void Release(bool keep_root) override;

    cWndTranslator& GetWindow() { return window; }

private:
    cWndTranslator window;
};

// The factory of host windows: registers the framework's window class,
// creates main host windows and offscreen canvases, runs element trees as
// modal dialogs and owns the message loop. Every root element handed to it
// passes to the host window, which destroys it.
class cWindowMaker {
public:
    cWindowMaker();
    // Deletes every host window of the list, in list order.
    virtual ~cWindowMaker();
    cWindowMaker(const cWindowMaker&) = delete;
    cWindowMaker& operator=(const cWindowMaker&) = delete;

    // Loads the icon resource and registers the window class.
    virtual bool Init(HINSTANCE instance, int32_t reserved, int32_t icon_id) = 0;
    // A blank offscreen canvas of that size, owned by the caller; null when
    // a side is below 1 or none can be made.
    virtual cCanvas* CreateOffscreenCanvas(int32_t width, int32_t height);
    // Runs root as a modal dialog centred on the owner (or the desktop) and
    // answers the dialog's result; -1 when nothing ran.
    virtual intptr_t RunDialog(const wchar_t* title, int32_t width, int32_t height, cChildElement* root,
                               cWindowRequestTarget* owner, bool resizable) = 0;
    // A main host window kept in the maker's list; null on failure (the
    // root is then destroyed).
    virtual cWindowHolder* CreateHostWindow(const wchar_t* title, int32_t width, int32_t height,
                                            cChildElement* root, cWindowRequestTarget* owner, bool resizable,
                                            int32_t x, int32_t y) = 0;
    // Removes and deletes that holder; null deletes every holder.
    virtual void CloseHostWindow(cWindowHolder* holder) = 0;
    // The plain message loop; answers the last GetMessageW result.
    virtual int32_t RunMessageLoop() = 0;
    // The screen's size in pixels; false when the screen gives none.
    virtual bool GetScreenSize(cSize* size);

    // The catalog every window made from now on gets; null = none.
    void SetCatalog(const cStringCatalog* strings) { catalog = strings; }
    const cStringCatalog* GetCatalog() const { return catalog; }
    // The main host windows in creation order.
    cListItem* FirstHostWindow() const { return host_windows.first; }

protected:
    const cStringCatalog* catalog;
    cOwnedList host_windows;
};

// The window maker over native windows.
class cWWMaker : public cWindowMaker {
public:
    cWWMaker() = default;
    ~cWWMaker() override;

    bool Init(HINSTANCE instance, int32_t reserved, int32_t icon_id) override;
    cCanvas* CreateOffscreenCanvas(int32_t width, int32_t height) override;
    intptr_t RunDialog(const wchar_t* title, int32_t width, int32_t height, cChildElement* root,
                       cWindowRequestTarget* owner, bool resizable) override;
    cWindowHolder* CreateHostWindow(const wchar_t* title, int32_t width, int32_t height, cChildElement* root,
                                    cWindowRequestTarget* owner, bool resizable, int32_t x, int32_t y) override;
    void CloseHostWindow(cWindowHolder* holder) override;
    int32_t RunMessageLoop() override;
    bool GetScreenSize(cSize* size) override;
};

#endif
