#ifndef GUI_CONTROLS_EDIT_CHILD_H
#define GUI_CONTROLS_EDIT_CHILD_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/buffers/typebuf.h"
#include "gui/child_element.h"

class cFontObject;

// The single-line text field: a fixed-capacity UTF-16 text with a caret, one
// selected range, horizontal scrolling, clipboard copy, cut and paste, a
// read-only mode and a cue text shown while it is empty. The caret always
// lies in 0..length. It posts plain actions to itself: 6 Enter, 7 Escape
// with nothing selected, 8 the keyboard focus was lost. UI thread only.
class cEditChild : public cChildElement {
public:
    // Visual states of the colour records.
    enum { state_normal = 0, state_focused = 1, state_hovered = 2, state_inactive = 3, state_extra = 4,
           state_count = 5 };

    cEditChild();
    ~cEditChild() override;

    // Copies at most max - 1 units and a NUL; answers the units copied. A
    // null buffer or a max of 0 or less writes nothing.
    int32_t GetText(wchar_t* buffer, int32_t max) override;
    // A copy of the text kept by the field until the next call.
    const wchar_t* GetTextPtr() override;
    void ClearText() override;
    void OnCreate() override;
    void Paint(cCanvas* canvas) override;
    void OnMouseButton(int32_t x, int32_t y, int32_t button, bool pressed) override;
    void OnMouseMove(int32_t x, int32_t y) override;
    void OnMouseEnter() override;
    void OnMouseLeave() override;
    void OnDoubleClick(int32_t x, int32_t y) override;
    void OnChar(wchar_t character, bool shift, bool ctrl, bool alt) override;
    void OnKeyDown(uint32_t key, bool shift, bool ctrl, bool alt) override;
    void OnFocusGained(int32_t reason, bool flag1, bool flag2) override;
    void OnFocusLost(bool flag1, bool flag2) override;
    void InitDefaults() override;
    bool DefaultBackBuffer() override { return true; }
    bool DefaultTabStop() override { return true; }
    bool DefaultRepaintOnResize() override { return true; }
    bool ConsumesArrowKeys() override { return true; }

    // The element's own text (captions, hints) is not the field's.
    using cChildElement::SetText;
    // Replaces the field's text: length units (-1 = up to the NUL), cut to
    // the capacity; caret and scroll to 0, no selection; redraws.
    virtual void SetText(const wchar_t* new_text, int32_t length);
    // Null clears it.
    virtual void SetCueText(const wchar_t* cue);

    // Room for n units; the text is emptied as ClearText does. False, with a
    // capacity of 0 (typing then does nothing), when n is negative or the
    // buffer cannot be had.
    bool SetMaxLength(int32_t n);
    int32_t GetMaxLength() const { return capacity > 0 ? capacity - 1 : 0; }
    void SetReadOnly(bool flag) { read_only = flag; }
    bool IsReadOnly() const { return read_only; }
    void SetSelectAllOnFocus(bool flag) { select_all_on_focus = flag; }
    void SetCaretWhenReadOnly(bool flag);
    // States 0 to 3 at once; state 4 keeps its colours. No redraw.
    void SetColours(uint32_t background, uint32_t text_colour, uint32_t frame);
    // 0 for a state outside 0..4.
    uint32_t GetStateBackground(int32_t state) const;
    uint32_t GetStateFrame(int32_t state) const;
    void SetStateFrame(int32_t state, uint32_t colour);
    void SetFont(cFontObject* new_font) { font = new_font; }

private:
    struct cStateColours {
        uint32_t background;
        uint32_t text;
        uint32_t frame;
    };

    int32_t Length() const;
    bool HasSelection() const { return selection_start >= 0 && selection_end >= 0; }
    void ClearSelection() { selection_start = selection_end = -1; }
    void ResetPosition();
    // The selection after the caret moved from a to b.
    void ExtendSelection(int32_t from, int32_t to);
    // Moves the caret, extending the selection or clearing it.
    void MoveCaret(int32_t to, bool extend);
    bool DeleteSelection();
    void DeleteAt(int32_t index);
    void Copy();
    void Paste();
    void Cut();
    void SelectAll();
    bool EditKey(uint32_t key, bool shift, bool ctrl);
    bool MoveKey(uint32_t key, bool shift, bool ctrl);

    // Painting and hit testing.
    int32_t ColourState();
    int32_t FrameState();
    int32_t HitTest(int32_t x) const;
    // Width of the first count characters as last measured.
    int32_t Extent(int32_t count) const;
    void ScrollToCaret(cCanvas* canvas);
    void DrawRun(cCanvas* canvas, int32_t from, int32_t to, int32_t y, uint32_t text_colour, uint32_t background);
    void FetchFonts();

    _typebuf<wchar_t> buffer;  // capacity units, NUL-terminated inside
    int32_t capacity;
    _guardchar<wchar_t> cue_text;
    _guardchar<wchar_t> text_copy;
    cFontObject* font;
    cFontObject* cue_font;
    _typebuf<int32_t> positions;  // right edge of each character at the last paint
    cStateColours colours[state_count];
    uint32_t selection_focused;
    uint32_t selection_unfocused;
    int32_t caret;
    int32_t scroll;  // horizontal text offset in pixels, <= 0
    int32_t selection_start;
    int32_t selection_end;
    bool selecting;
    bool hovered;
    bool read_only;
    bool select_all_on_focus;
    bool caret_when_read_only;
};

#endif
