#ifndef GUI_CONTROLS_FOCUS_CUE_H
#define GUI_CONTROLS_FOCUS_CUE_H

#include <stdint.h>

#include "gui/geometry.h"

class cCanvas;

// How a control shows that it holds the keyboard focus: a dotted frame
// along the rectangle's edges, its pixels at an even distance (x + y) from
// the top left corner, in the colour given (0x00BBGGRR). A rectangle
// narrower or lower than 2 pixels shows nothing.
void draw_focus_cue(cCanvas* canvas, const cRect& rect, uint32_t colour);

#endif
