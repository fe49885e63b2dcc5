#include "gui/ui_font.h"

#include "gui/font.h"
#include "gui/language.h"
#include "gui/ui_font_choice.h"

// Interface-font state of the UI thread, set at every language switch.
static const wchar_t* ui_face = nullptr;
static double ui_line_spacing = 1.2;
static int32_t ui_text_offset = 3;

// The East Asian interface faces and the line spacing each wants.
struct cUiFace {
    uint32_t language;
    const wchar_t* face;
    double line_spacing;
};

static const cUiFace east_asian_faces[] = {
    {3, L"Meiryo", 0.9},
    {4, L"Malgun Gothic", 1.2},
    {8, L"Microsoft YaHei", 1.2},
    {9, L"Microsoft JhengHei", 1.2},
};

// A face is adopted only when the system really has it: GDI would make a
// font of any name and quietly draw it with another face, leaving the
// interface with East Asian sizes and spacing on a default face. The
// spacing and offset follow the face actually chosen.
const wchar_t* choose_ui_font_face(uint32_t language)
{
    for (const cUiFace& candidate : east_asian_faces) {
        if (candidate.language != language)
            continue;
        if (font_face_exists(candidate.face) && font_get_cached(5, 13, candidate.face, false, false, false)) {
            ui_face = candidate.face;
            ui_text_offset = 0;
            ui_line_spacing = candidate.line_spacing;
            return ui_face;
        }
    }
    ui_face = L"Tahoma";
    ui_text_offset = 3;
    ui_line_spacing = 1.2;
    return ui_face;
}

const wchar_t* get_ui_font_face() { return choose_ui_font_face(get_current_language()); }

const wchar_t* get_ui_font_face_name() { return ui_face ? ui_face : L"Tahoma"; }

double get_ui_line_spacing() { return ui_line_spacing; }

int32_t get_ui_text_offset() { return ui_text_offset; }
