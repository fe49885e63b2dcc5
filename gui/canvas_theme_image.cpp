#include "gui/canvas.h"

// Placeholder until clipped image scaling lands.
bool cCanvas::DrawThemeImage(const cImageBuffer*, int32_t, int32_t, int32_t, int32_t, int32_t)
{
    return false;
}
