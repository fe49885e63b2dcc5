#ifndef GUI_WND_TRANSLATOR_DLG_H
#define GUI_WND_TRANSLATOR_DLG_H

#include <stdint.h>
#include <windows.h>

#include "gui/wnd_lite.h"
#include "gui/wnd_translator.h"

class cChildElement;

// The dialog shell of a modal run: a dialog whose only child is a
// cWndTranslator filling its client area and showing the root element. The
// shell lives on the stack of the run; destroying it destroys the embedded
// window and with it the root.
class cWndTranslatorDlg : public cWndLite {
public:
    cWndTranslatorDlg();
    ~cWndTranslatorDlg() override;

    // Runs root (owned from now on) modally with a client area of width x
    // height at (x, y), or centred on the desktop when both are -1. Answers
    // the dialog's result; -1 without a root or when no dialog could be
    // made.
    intptr_t RunModal(cWndLite* owner, const wchar_t* title, int32_t width, int32_t height, cChildElement* root,
                      bool resizable, int32_t x, int32_t y);
    // The same as a borderless popup without a title.
    intptr_t RunPopupModal(cWndLite* owner, int32_t x, int32_t y, int32_t width, int32_t height,
                           cChildElement* root);

    cWndTranslator& GetEmbedded() { return embedded; }

    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    void OnCreate() override;
    LRESULT OnClose() override;
    void OnSize(int32_t width, int32_t height) override;

private:
    cWndTranslator embedded;
};

// Runs the shell as a dialog made from an in-memory template with the
// style (plus DS_CENTER) and moved to (x, y) with a client area of width x
// height, owned by the owner's window. Answers -1 when the shell does not
// own its window or the template cannot be had, else what
// DialogBoxIndirectParamW answers.
intptr_t build_dialog_template(cWndLite* shell, cWndLite* owner, const wchar_t* title, DWORD style, int32_t x,
                               int32_t y, int32_t width, int32_t height);
// The same centred on the desktop's client area, raised by half the caption
// height; a dialog larger than the desktop is shrunk to it.
intptr_t run_dialog_centred(cWndLite* shell, cWndLite* owner, const wchar_t* title, DWORD style, int32_t width,
                            int32_t height);
// The caption height the centring uses: 0 when the system's is outside
// 0..100.
int32_t centring_caption_height();

#endif
