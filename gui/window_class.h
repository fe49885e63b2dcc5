#ifndef GUI_WINDOW_CLASS_H
#define GUI_WINDOW_CLASS_H

#include <stdint.h>
#include <windows.h>

class cWndLite;

// Registers "cGUILWndClass" once per process and keeps the instance handle
// (0: the program's own module) and the icon for every later window. False
// when registration fails for any reason other than the class existing.
bool register_window_class(HINSTANCE instance, HICON icon);
// True once register_window_class has succeeded in this process.
bool window_class_registered();
// The instance handle windows are created with.
HINSTANCE get_gui_instance();
// The icon dialogs show; null before register_window_class.
HICON get_application_icon();

// Makes the window of object in the class "cGUIWndClass::<class name>"
// (registered on first use) with a client area of exactly width x height.
// The parent object's window, when given, is the parent or owner.
bool create_class_window(const wchar_t* title, DWORD extended_style, DWORD style, int32_t x, int32_t y,
                         int32_t width, int32_t height, cWndLite* parent, cWndLite* object);
// The class "cGUIWndClass::<class_name>" as UTF-16 into 256 units.
bool format_window_class_name(const char* class_name, wchar_t* out);

// The object a framework window carries in GWL_USERDATA, or null.
cWndLite* window_object_of(HWND window);
void bind_window_object(HWND window, cWndLite* object);
// After this no message of the window reaches its object.
void unbind_window_object(HWND window);

#endif
