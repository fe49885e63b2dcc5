#include "gui/screen_area.h"

bool window_bounds(HWND window, cRect* bounds)
{
    WINDOWINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetWindowInfo(window, &info))
        return false;
    const RECT& outer = info.rcWindow;
    *bounds = cRect{outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top};
    TITLEBARINFO title = {};
    title.cbSize = sizeof(title);
    if (!GetParent(window) && GetTitleBarInfo(window, &title) &&
        !(title.rgstate[0] & STATE_SYSTEM_INVISIBLE)) {
        int32_t border_width = int32_t(info.cxWindowBorders);
        int32_t border_height = int32_t(info.cyWindowBorders);
        int32_t title_height = title.rcTitleBar.bottom - title.rcTitleBar.top;
        bounds->x += border_width;
        bounds->width -= 2 * border_width;
        bounds->y += border_height + title_height;
        bounds->height -= 2 * border_height + title_height;
    }
    return true;
}

bool window_work_area(HWND window, cSize* size)
{
    RECT outer = {};
    if (window)
        GetWindowRect(window, &outer);
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    HMONITOR monitor = MonitorFromRect(&outer, MONITOR_DEFAULTTONEAREST);
    if (monitor && GetMonitorInfoW(monitor, &info)) {
        size->width = info.rcWork.right - info.rcWork.left;
        size->height = info.rcWork.bottom - info.rcWork.top;
        if (size->width != 0 && size->height != 0)
            return true;
    }
    RECT desktop = {};
    GetWindowRect(GetDesktopWindow(), &desktop);
    size->width = desktop.right - desktop.left;
    size->height = desktop.bottom - desktop.top;
    return true;
}

bool window_screen_area(HWND window, cSize* size)
{
    int32_t width = GetSystemMetrics(SM_CXMAXTRACK) - 2 * GetSystemMetrics(SM_CXFRAME);
    int32_t height = GetSystemMetrics(SM_CYMAXTRACK) - 2 * GetSystemMetrics(SM_CYFRAME);
    if (width < 1 || height < 1)
        return window_work_area(window, size);
    size->width = width;
    size->height = height;
    return true;
}

bool system_keep_awake()
{
    if (SetThreadExecutionState(ES_CONTINUOUS | ES_AWAYMODE_REQUIRED | ES_SYSTEM_REQUIRED))
        return true;
    return SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED) != 0;
}

bool system_allow_sleep()
{
    return SetThreadExecutionState(ES_CONTINUOUS) != 0;
}

int32_t screen_dpi()
{
    HDC screen = GetDC(nullptr);
    if (!screen)
        return 96;
    int32_t dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}
