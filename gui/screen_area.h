#ifndef GUI_SCREEN_AREA_H
#define GUI_SCREEN_AREA_H

#include <windows.h>

#include "gui/geometry.h"

// The window's outer rectangle; for a top-level window with a visible title
// bar, the area inside the frame below the title bar. False only when the
// window's information cannot be had.
bool window_bounds(HWND window, cRect* bounds);
// The work-area size of the monitor nearest the window, or the desktop
// window's size when the monitor gives none.
bool window_work_area(HWND window, cSize* size);
// The largest size a window can be tracked to inside its frame; the work
// area when the system gives no usable size.
bool window_screen_area(HWND window, cSize* size);
// Keeps the system (and, where supported, away mode) awake for this thread.
bool system_keep_awake();
// Lets the system sleep again.
bool system_allow_sleep();
// Logical pixels per inch of the screen.
int32_t screen_dpi();

#endif
