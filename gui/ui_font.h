#ifndef GUI_UI_FONT_H
#define GUI_UI_FONT_H

#include <stdint.h>

// The interface face, chosen again after every language switch: an East
// Asian face for JPN, KOR, CHN and TWN when it exists, else "Tahoma".
const wchar_t* get_ui_font_face();
// The chosen face, "Tahoma" while none was chosen.
const wchar_t* get_ui_font_face_name();
// Line-spacing factor of wrapped text (1.2, or 0.9 for the Japanese face).
double get_ui_line_spacing();
// Vertical text offset of application layouts: 3, or 0 for East Asian faces.
int32_t get_ui_text_offset();

#endif
