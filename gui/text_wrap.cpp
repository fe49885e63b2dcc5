#include "gui/canvas.h"

// Placeholder until the wrapped layout lands.
bool cCanvas::DrawTextWrapped(int32_t, int32_t, int32_t, int32_t, int32_t, const wchar_t*, cSize*, bool, double)
{
    return false;
}

bool cCanvas::DrawTextWrappedUtf8(int32_t, int32_t, int32_t, int32_t, int32_t, const char*, cSize*, bool, double)
{
    return false;
}
