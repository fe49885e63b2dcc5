#include "gui/window_maker.h"

#include "gui/child_element.h"
#include "gui/window_class.h"
#include "gui/window_proc.h"
#include "gui/wnd_translator_dlg.h"

cWindowHolder::~cWindowHolder() {}

bool cWindowHolder::IsNative()
{
    return false;
}

void cWindowHolder::Close() {}

cWindowRequestTarget* cWindowHolder::GetRequestTarget()
{
    return nullptr;
}

void cWindowHolder::Release(bool)
{
    delete this;
}

cWWHolder::~cWWHolder() {}

bool cWWHolder::IsNative()
{
    return true;
}

void cWWHolder::Close()
{
    window.DestroyWindow();
}

cWindowRequestTarget* cWWHolder::GetRequestTarget()
{
    return &window;
}

void cWWHolder::Release(bool keep_root)
{
    if (keep_root)
        window.ReleaseRoot();
    delete this;
}

cWindowMaker::cWindowMaker() : catalog(nullptr) {}

cWindowMaker::~cWindowMaker()
{
    objlist_clear(host_windows);
}

cCanvas* cWindowMaker::CreateOffscreenCanvas(int32_t, int32_t)
{
    return nullptr;
}

bool cWindowMaker::GetScreenSize(cSize*)
{
    return false;
}

cWWMaker::~cWWMaker() {}

bool cWWMaker::Init(HINSTANCE instance, int32_t, int32_t icon_id)
{
    if (!instance)
        instance = GetModuleHandleW(nullptr);
    HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(icon_id));
    return register_window_class(instance, icon);
}

intptr_t cWWMaker::RunDialog(const wchar_t* title, int32_t width, int32_t height, cChildElement* root,
                             cWindowRequestTarget* owner, bool resizable)
{
    cWndTranslatorDlg shell;
    shell.GetEmbedded().SetCatalog(catalog);
    int32_t x = -1;
    int32_t y = -1;
    cWndLite* owner_window = nullptr;
    if (owner) {
        cRect bounds;
        if (owner->GetWindowBounds(&bounds)) {
            x = (bounds.width - width) / 2 + bounds.x;
            y = (bounds.height - height) / 2 + bounds.y;
        }
        owner_window = owner->GetWindow();
    }
    return shell.RunModal(owner_window, title, width, height, root, resizable, x, y);
}

cWindowHolder* cWWMaker::CreateHostWindow(const wchar_t* title, int32_t width, int32_t height, cChildElement* root,
                                          cWindowRequestTarget* owner, bool resizable, int32_t x, int32_t y)
{
    cWWHolder* holder = new cWWHolder;
    if (!holder) {
        delete root;
        return nullptr;
    }
    holder->GetWindow().SetCatalog(catalog);
    cWndLite* parent = owner ? owner->GetWindow() : nullptr;
    if (!holder->GetWindow().Create(parent, title, width, height, root, resizable, x, y)) {
        // The window took the root: it goes with the holder.
        delete holder;
        return nullptr;
    }
    objlist_append(host_windows, holder);
    return holder;
}

void cWWMaker::CloseHostWindow(cWindowHolder* holder)
{
    if (holder)
        objlist_remove(host_windows, holder);
    else
        objlist_clear(host_windows);
}

int32_t cWWMaker::RunMessageLoop()
{
    return message_loop();
}

bool cWWMaker::GetScreenSize(cSize* size)
{
    HDC screen = GetDC(nullptr);
    if (!screen)
        return false;
    size->width = GetDeviceCaps(screen, HORZRES);
    size->height = GetDeviceCaps(screen, VERTRES);
    ReleaseDC(nullptr, screen);
    return size->width != 0 && size->height != 0;
}
