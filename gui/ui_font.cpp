#include "gui/ui_font.h"

// Placeholder until interface fonts land.
const wchar_t* get_ui_font_face() { return L"Tahoma"; }
const wchar_t* get_ui_font_face_name() { return L"Tahoma"; }
double get_ui_line_spacing() { return 1.2; }
int32_t get_ui_text_offset() { return 3; }
