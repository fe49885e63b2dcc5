#include "gui/canvas.h"

// Placeholder until the line layout lands.
int32_t cCanvas::DrawTextLine(int32_t, int32_t, int32_t, int32_t, int32_t, bool, int32_t, int32_t, const wchar_t*,
                              int32_t, int32_t*, bool)
{
    return -1;
}

int32_t cCanvas::DrawTextLineUtf8(int32_t, int32_t, int32_t, int32_t, int32_t, bool, int32_t, int32_t, const char*,
                                  int32_t, int32_t*, bool)
{
    return -1;
}
