#ifndef GUI_CONTROLS_CANVAS_CLIP_H
#define GUI_CONTROLS_CANVAS_CLIP_H

#include "gui/geometry.h"

class cCanvas;

// Limits the canvas's drawing to the rectangle, in canvas coordinates, by
// taking the four strips around it out of the clip, and applies the clip.
void clip_canvas_to(cCanvas* canvas, const cRect& keep);
// Gives the whole canvas back to the clip and applies it.
void unclip_canvas(cCanvas* canvas);

#endif
