#include "gui/wnd_translator_dlg.h"


#include "gui/child_element.h"
#include "gui/window_class.h"
#include "gui/window_proc.h"

namespace {

const DWORD modal_style = WS_VISIBLE | WS_CLIPCHILDREN | WS_SYSMENU;
const DWORD resizable_style = WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
const SIZE_T template_size = 1024;

}  // namespace

cWndTranslatorDlg::cWndTranslatorDlg() : cWndLite("Base") {}

cWndTranslatorDlg::~cWndTranslatorDlg() {}

intptr_t cWndTranslatorDlg::RunModal(cWndLite* owner, const wchar_t* title, int32_t width, int32_t height,
                                     cChildElement* root, bool resizable, int32_t x, int32_t y)
{
    if (!root)
        return -1;
    // The embedded window owns the root from here, also when no dialog can
    // be made.
    embedded.SetRoot(root);
    embedded.SetHostDialog(this);
    DWORD style = modal_style | (resizable ? resizable_style : 0);
    if (x == -1 && y == -1)
        return run_dialog_centred(this, owner, title, style, width, height);
    return build_dialog_template(this, owner, title, style, x, y, width, height);
}

intptr_t cWndTranslatorDlg::RunPopupModal(cWndLite* owner, int32_t x, int32_t y, int32_t width, int32_t height,
                                          cChildElement* root)
{
    if (!root)
        return -1;
    embedded.SetRoot(root);
    embedded.SetHostDialog(this);
    return build_dialog_template(this, owner, nullptr, WS_POPUP, x, y, width, height);
}

LRESULT cWndTranslatorDlg::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam)
{
    // The shell, not the embedded window, is the one Windows activates.
    if (message == WM_ACTIVATE && LOWORD(wparam) == WA_INACTIVE)
        embedded.NotifyDeactivated();
    // A modal run opening over this one cancels the modes of this, the
    // active window; the mouse capture is the embedded window's.
    if (message == WM_CANCELMODE && embedded.GetHandle())
        SendMessageW(embedded.GetHandle(), WM_CANCELMODE, 0, 0);
    return cWndLite::HandleMessage(message, wparam, lparam);
}

void cWndTranslatorDlg::OnCreate()
{
    RECT client = {};
    GetClientRect(GetHandle(), &client);
    if (!embedded.Create(this, L"", client.right - client.left, client.bottom - client.top, embedded.GetRoot(),
                         false, client.left, client.top))
        EndDialog(GetHandle(), -1);
}

LRESULT cWndTranslatorDlg::OnClose()
{
    // The tree decides first; a refusal keeps the dialog open.
    if (embedded.GetHandle() && embedded.OnClose() != 0)
        return 1;
    EndDialog(GetHandle(), 0);
    return 0;
}

void cWndTranslatorDlg::OnSize(int32_t, int32_t)
{
    RECT client;
    if (embedded.GetHandle() && GetClientRect(GetHandle(), &client))
        MoveWindow(embedded.GetHandle(), client.left, client.top, client.right - client.left,
                   client.bottom - client.top, FALSE);
}

intptr_t build_dialog_template(cWndLite* shell, cWndLite* owner, const wchar_t* title, DWORD style, int32_t x,
                               int32_t y, int32_t width, int32_t height)
{
    if (!shell || !shell->OwnsWindow())
        return -1;
    shell->DestroyOwnWindow();
    shell->SetParentObject(owner);
    HWND owner_window = owner ? owner->GetHandle() : nullptr;
    shell->SetDialog(true);
    HGLOBAL block = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, template_size);
    if (!block) {
        shell->SetDialog(false);
        return -1;
    }
    // DLGTEMPLATE: no items, 1 x 1 dialog units; menu, class and title
    // words stay 0 (none, the system dialog class, empty).
    DLGTEMPLATE* dialog = static_cast<DLGTEMPLATE*>(block);
    dialog->style = style | DS_CENTER;
    dialog->dwExtendedStyle = WS_EX_CONTROLPARENT;
    dialog->cdit = 0;
    dialog->x = 0;
    dialog->y = 0;
    dialog->cx = 1;
    dialog->cy = 1;
    cDialogCreationRecord record = {title, x, y, width, height, shell};
    intptr_t result = DialogBoxIndirectParamW(get_gui_instance(), dialog, owner_window, dialog_proc,
                                              LPARAM(&record));
    GlobalFree(block);
    shell->SetDialog(false);
    return result;
}

int32_t centring_caption_height()
{
    int32_t caption = GetSystemMetrics(SM_CYCAPTION);
    return caption < 0 || caption > 100 ? 0 : caption;
}

intptr_t run_dialog_centred(cWndLite* shell, cWndLite* owner, const wchar_t* title, DWORD style, int32_t width,
                            int32_t height)
{
    RECT desktop = {};
    GetClientRect(GetDesktopWindow(), &desktop);
    if (width > desktop.right - desktop.left)
        width = desktop.right - desktop.left;
    if (height > desktop.bottom - desktop.top)
        height = desktop.bottom - desktop.top;
    int32_t caption = centring_caption_height();
    int32_t y = (desktop.bottom - caption - height) / 2;
    int32_t x = (desktop.right - width) / 2;
    return build_dialog_template(shell, owner, title, style, x, y, width, height);
}
