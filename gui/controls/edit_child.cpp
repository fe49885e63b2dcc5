#include "gui/controls/edit_child.h"

#include <string.h>

#include "gui/theme.h"
#include "gui/ui_font.h"

// Construction, settings, the text as a whole, the mouse and the focus.

namespace {

const int32_t default_max_length = 256;
const uint32_t plain_left = 1;
const uint32_t lost_focus_code = 8;

// Theme colour indices of the five states: background, text, frame.
const int32_t state_theme_colours[cEditChild::state_count][3] = {
    {27, 4, 32}, {29, 4, 34}, {28, 4, 33}, {30, 5, 35}, {31, 4, 36},
};

}  // namespace

cEditChild::cEditChild()
    : capacity(0), font(nullptr), cue_font(nullptr), selection_focused(theme_colour(17)),
      selection_unfocused(theme_colour(18)), caret(0), scroll(0), selection_start(-1), selection_end(-1),
      selecting(false), hovered(false), read_only(false), select_all_on_focus(true), caret_when_read_only(true)
{
    for (int32_t state = 0; state < state_count; ++state) {
        colours[state].background = theme_colour(state_theme_colours[state][0]);
        colours[state].text = theme_colour(state_theme_colours[state][1]);
        colours[state].frame = theme_colour(state_theme_colours[state][2]);
    }
    SetMaxLength(default_max_length);
}

cEditChild::~cEditChild()
{
    // Texts such as passwords do not linger in freed memory.
    if (buffer.Data())
        memset(buffer.Data(), 0, size_t(buffer.Count()) * sizeof(wchar_t));
}

int32_t cEditChild::Length() const
{
    const wchar_t* units = buffer.Data();
    int32_t length = 0;
    while (length < capacity && units[length])
        ++length;
    return length;
}

void cEditChild::ResetPosition()
{
    caret = 0;
    scroll = 0;
    ClearSelection();
}

bool cEditChild::SetMaxLength(int32_t n)
{
    ResetPosition();
    positions.Clear();
    capacity = 0;
    if (n < 0 || n == INT32_MAX) {
        buffer.Clear();
        return false;
    }
    buffer.Resize(n + 1);
    if (!buffer.Data())
        return false;
    memset(buffer.Data(), 0, size_t(n + 1) * sizeof(wchar_t));
    capacity = n + 1;
    return true;
}

int32_t cEditChild::GetText(wchar_t* out, int32_t max)
{
    if (!out || max <= 0)
        return 0;
    int32_t length = Length();
    if (length > max - 1)
        length = max - 1;
    if (length > 0)
        memcpy(out, buffer.Data(), size_t(length) * sizeof(wchar_t));
    out[length] = 0;
    return length;
}

const wchar_t* cEditChild::GetTextPtr()
{
    text_copy.AssignN(buffer.Data(), Length());
    return text_copy.Text();
}

void cEditChild::ClearText()
{
    if (buffer.Data())
        memset(buffer.Data(), 0, size_t(capacity) * sizeof(wchar_t));
    ResetPosition();
    Redraw(nullptr);
}

void cEditChild::SetText(const wchar_t* new_text, int32_t length)
{
    if (buffer.Data())
        memset(buffer.Data(), 0, size_t(capacity) * sizeof(wchar_t));
    int32_t room = capacity - 1;
    for (int32_t i = 0; new_text && i < room && (length < 0 || i < length) && new_text[i]; ++i)
        buffer[i] = new_text[i];
    ResetPosition();
    Redraw(nullptr);
}

void cEditChild::SetCueText(const wchar_t* cue)
{
    cue_text.Assign(cue);
}

void cEditChild::SetCaretWhenReadOnly(bool flag)
{
    if (caret_when_read_only == flag)
        return;
    caret_when_read_only = flag;
    Redraw(nullptr);
}

void cEditChild::SetColours(uint32_t background, uint32_t text_colour, uint32_t frame)
{
    for (int32_t state = 0; state < state_inactive + 1; ++state)
        colours[state] = cStateColours{background, text_colour, frame};
}

uint32_t cEditChild::GetStateBackground(int32_t state) const
{
    return state >= 0 && state < state_count ? colours[state].background : 0;
}

uint32_t cEditChild::GetStateFrame(int32_t state) const
{
    return state >= 0 && state < state_count ? colours[state].frame : 0;
}

void cEditChild::SetStateFrame(int32_t state, uint32_t colour)
{
    if (state < 0 || state >= state_count || colours[state].frame == colour)
        return;
    colours[state].frame = colour;
    Redraw(nullptr);
}

void cEditChild::InitDefaults()
{
    cChildElement::InitDefaults();
    ClearSelection();
}

void cEditChild::OnCreate()
{
    transparent = false;
    SetCursorShape(1);
    FetchFonts();
}

void cEditChild::FetchFonts()
{
    font = GetFont(5, 13, get_ui_font_face_name(), false, false, false);
    cue_font = GetFont(5, 13, get_ui_font_face_name(), false, false, true);
}

void cEditChild::OnMouseButton(int32_t px, int32_t, int32_t button, bool pressed)
{
    if (button != int32_t(plain_left))
        return;
    if (pressed) {
        ClearSelection();
        StartMouseCapture(false);
        selecting = true;
        caret = HitTest(px);
    } else {
        StopMouseCapture();
        selecting = false;
    }
    Redraw(nullptr);
}

void cEditChild::OnMouseMove(int32_t px, int32_t)
{
    if (!selecting)
        return;
    int32_t at = HitTest(px);
    if (at == caret)
        return;
    ExtendSelection(caret, at);
    caret = at;
    Redraw(nullptr);
}

void cEditChild::OnMouseEnter()
{
    cChildElement::OnMouseEnter();
    hovered = true;
    Redraw(nullptr);
}

void cEditChild::OnMouseLeave()
{
    cChildElement::OnMouseLeave();
    hovered = false;
    Redraw(nullptr);
}

void cEditChild::OnFocusGained(int32_t reason, bool flag1, bool flag2)
{
    cChildElement::OnFocusGained(reason, flag1, flag2);
    if (select_all_on_focus && !read_only)
        SelectAll();
    Redraw(nullptr);
}

void cEditChild::OnFocusLost(bool flag1, bool flag2)
{
    cChildElement::OnFocusLost(flag1, flag2);
    ClearSelection();
    Redraw(nullptr);
    PostAction(new cChildAction(lost_focus_code));
}
