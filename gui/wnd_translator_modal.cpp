#include "gui/child_element.h"
#include "gui/window_class.h"
#include "gui/window_maker.h"
#include "gui/wnd_translator.h"
#include "gui/wnd_translator_dlg.h"

// Modal runs and popups opened from a host window.

intptr_t cWndTranslator::RunModal(const wchar_t* title, int32_t width, int32_t height, cChildElement* new_root,
                                  bool resizable)
{
    if (!new_root)
        return -1;
    cWndTranslatorDlg shell;
    shell.GetEmbedded().SetCatalog(catalog);
    HWND top = GetHandle();
    while (HWND parent = GetParent(top))
        top = parent;
    cRect bounds;
    if (!top || IsIconic(top) || !GetWindowBounds(&bounds)) {
        cSize work = {0, 0};
        GetWorkArea(&work);
        bounds = cRect{0, 0, work.width, work.height};
    }
    int32_t caption = centring_caption_height();
    int32_t x = (bounds.width - width) / 2 + bounds.x;
    int32_t y = (bounds.height - caption - height) / 2 + bounds.y;
    return shell.RunModal(this, title, width, height, new_root, resizable, x, y);
}

intptr_t cWndTranslator::RunPopupModal(int32_t x, int32_t y, int32_t width, int32_t height, cChildElement* new_root)
{
    if (!new_root)
        return -1;
    cWndTranslatorDlg shell;
    shell.GetEmbedded().SetCatalog(catalog);
    return shell.RunPopupModal(this, x, y, width, height, new_root);
}

cWindowHolder* cWndTranslator::ShowPopup(int32_t x, int32_t y, int32_t width, int32_t height,
                                         cChildElement* new_root, bool activate)
{
    if (!new_root)
        return nullptr;
    cWWHolder* holder = new cWWHolder;
    if (!holder) {
        delete new_root;
        return nullptr;
    }
    HWND focus = GetFocus();
    cWndTranslator& popup = holder->GetWindow();
    popup.SetCatalog(catalog);
    popup.SetRoot(new_root);
    new_root->AttachWindow(&popup, x, y, width, height);
    if (!create_class_window(nullptr, WS_EX_TOPMOST | WS_EX_TOOLWINDOW, WS_POPUP, x, y, width, height, nullptr,
                             &popup)) {
        delete holder;
        return nullptr;
    }
    // The shadow is a class style: every window of the class gets it. The
    // other class styles (double clicks) stay.
    HWND window = popup.GetHandle();
    SetClassLongPtrW(window, GCL_STYLE, GetClassLongPtrW(window, GCL_STYLE) | CS_DROPSHADOW);
    ShowWindow(window, activate ? SW_SHOWNORMAL : SW_SHOWNA);
    if (!activate && focus == GetHandle())
        SetFocus(GetHandle());
    return holder;
}
