#include "gui/window_proc.h"

#include "gui/window_class.h"
#include "gui/wnd_lite.h"

LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_CREATE) {
        const CREATESTRUCTW* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
        bind_window_object(window, static_cast<cWndLite*>(create->lpCreateParams));
    } else if (message == WM_INITDIALOG) {
        bind_window_object(window, reinterpret_cast<cWndLite*>(lparam));
    }
    cWndLite* object = window_object_of(window);
    if (!object)
        return DefWindowProcW(window, message, wparam, lparam);
    return object->OnRawMessage(window, message, wparam, lparam);
}

INT_PTR CALLBACK dialog_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_INITDIALOG) {
        const cDialogCreationRecord* record = reinterpret_cast<const cDialogCreationRecord*>(lparam);
        if (!record || !record->object)
            return 0;
        bind_window_object(window, record->object);
        record->object->SetHandle(window);
        place_window(window, record->x, record->y, record->width, record->height);
        SetWindowTextW(window, record->title ? record->title : L"");
        record->object->OnRawMessage(window, message, wparam, lparam);
        return 0;
    }
    cWndLite* object = window_object_of(window);
    if (!object)
        return 0;
    return object->OnRawMessage(window, message, wparam, lparam);
}

int32_t message_loop()
{
    MSG message;
    for (;;) {
        BOOL result = GetMessageW(&message, nullptr, 0, 0);
        if (result == 0 || result == -1)
            return result;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}
