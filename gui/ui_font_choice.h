#ifndef GUI_UI_FONT_CHOICE_H
#define GUI_UI_FONT_CHOICE_H

#include <stdint.h>

// The interface face for a language index (0 to 9 as the catalogs number
// them): the language's East Asian face for JPN, KOR, CHN and TWN when the
// system has it, "Tahoma" otherwise. Sets what get_ui_font_face_name,
// get_ui_line_spacing and get_ui_text_offset answer afterwards.
const wchar_t* choose_ui_font_face(uint32_t language);

#endif
