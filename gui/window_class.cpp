#include "gui/window_class.h"

#include <stdio.h>

#include "gui/window_proc.h"
#include "gui/wnd_lite.h"

namespace {

const wchar_t main_class_name[] = L"cGUILWndClass";
const int32_t class_name_capacity = 256;

bool class_registered = false;
HINSTANCE kept_instance = nullptr;
HICON application_icon = nullptr;

// False when registration fails for any reason other than the class
// existing already.
bool register_class(HINSTANCE instance, const wchar_t* name, UINT style, HICON icon)
{
    WNDCLASSW window_class = {};
    window_class.style = style;
    window_class.lpfnWndProc = window_proc;
    window_class.hInstance = instance;
    window_class.hIcon = icon;
    window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    window_class.lpszClassName = name;
    return RegisterClassW(&window_class) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

bool register_window_class(HINSTANCE instance, HICON icon)
{
    if (class_registered)
        return true;
    if (!instance)
        instance = GetModuleHandleW(nullptr);
    kept_instance = instance;
    if (!register_class(instance, main_class_name, 0, icon))
        return false;
    application_icon = icon;
    class_registered = true;
    return true;
}

bool window_class_registered()
{
    return class_registered;
}

HINSTANCE get_gui_instance()
{
    return kept_instance ? kept_instance : GetModuleHandleW(nullptr);
}

HICON get_application_icon()
{
    return application_icon;
}

bool format_window_class_name(const char* class_name, wchar_t* out)
{
    char narrow[class_name_capacity];
    int written = snprintf(narrow, sizeof(narrow), "cGUIWndClass::%s", class_name ? class_name : "");
    if (written < 0 || written >= class_name_capacity)
        return false;
    return MultiByteToWideChar(CP_ACP, 0, narrow, -1, out, class_name_capacity) > 0;
}

bool create_class_window(const wchar_t* title, DWORD extended_style, DWORD style, int32_t x, int32_t y,
                         int32_t width, int32_t height, cWndLite* parent, cWndLite* object)
{
    if (!object)
        return false;
    // One window per object: a window it still has would stay bound to it.
    object->DestroyOwnWindow();
    object->ResetForCreation();
    object->SetParentObject(parent);
    wchar_t class_name[class_name_capacity];
    if (!format_window_class_name(object->GetWindowClassName(), class_name))
        return false;
    HINSTANCE instance = get_gui_instance();
    WNDCLASSW existing;
    if (!GetClassInfoW(instance, class_name, &existing) &&
        !register_class(instance, class_name, CS_DBLCLKS | CS_GLOBALCLASS, application_icon))
        return false;
    HWND parent_window = parent ? parent->GetHandle() : nullptr;
    HWND window = CreateWindowExW(extended_style, class_name, title, style, x, y, width, height, parent_window,
                                  nullptr, instance, object);
    if (!window)
        return false;
    place_window(window, x, y, width, height);
    return true;
}

cWndLite* window_object_of(HWND window)
{
    return reinterpret_cast<cWndLite*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void bind_window_object(HWND window, cWndLite* object)
{
    SetWindowLongPtrW(window, GWLP_USERDATA, LONG_PTR(object));
}

void unbind_window_object(HWND window)
{
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
}
