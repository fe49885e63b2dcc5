#ifndef GUI_WINDOW_PROC_H
#define GUI_WINDOW_PROC_H

#include <stdint.h>
#include <windows.h>

class cWndLite;

// What a modal run hands to its dialog as the WM_INITDIALOG parameter: the
// dialog is moved to (x, y) with a client area of width x height.
struct cDialogCreationRecord {
    const wchar_t* title;
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
    cWndLite* object;
};

// The procedure of every framework window class: messages go to the window
// object found in GWL_USERDATA, or to DefWindowProcW without one.
LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
// The procedure of modal dialogs; lParam of WM_INITDIALOG is a
// cDialogCreationRecord.
INT_PTR CALLBACK dialog_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
// GetMessageW / TranslateMessage / DispatchMessageW for every window of the
// thread until WM_QUIT (0) or an error (-1); answers that last result.
int32_t message_loop();

#endif
