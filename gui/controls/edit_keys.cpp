#include <string.h>

#include <windows.h>

#include "gui/controls/edit_child.h"

// Typing, the keys, the selection and the clipboard. Every walk over the
// text stays within 0..length.

namespace {

const uint32_t enter_code = 6;
const uint32_t escape_code = 7;

bool is_blank(wchar_t unit)
{
    return unit == 9 || unit == 10 || unit == 13 || unit == 32;
}

// The caret after a word step: over one run of blanks or of other
// characters; nothing at either end.
int32_t word_step(const wchar_t* text, int32_t length, int32_t caret, bool forward)
{
    if (forward) {
        if (caret >= length)
            return caret;
        bool blank = is_blank(text[caret]);
        ++caret;
        while (caret < length && is_blank(text[caret]) == blank)
            ++caret;
        return caret;
    }
    if (caret <= 0)
        return caret;
    bool blank = is_blank(text[caret - 1]);
    --caret;
    while (caret > 0 && is_blank(text[caret - 1]) == blank)
        --caret;
    return caret;
}

}  // namespace

void cEditChild::ExtendSelection(int32_t from, int32_t to)
{
    if ((read_only && !caret_when_read_only) || from == to)
        return;
    if (from < to) {
        if (to > Length())
            return;
        if (!HasSelection()) {
            selection_start = from;
            selection_end = to - 1;
        } else if (from == selection_end + 1) {
            selection_end = to - 1;
        } else if (from == selection_start) {
            int32_t old_end = selection_end;
            selection_start = to;
            if (to > old_end + 1) {
                selection_start = old_end + 1;
                selection_end = to - 1;
            } else if (selection_start > selection_end) {
                ClearSelection();
            }
        } else {
            ClearSelection();
        }
        return;
    }
    if (from < 1)
        return;
    if (!HasSelection()) {
        selection_start = to;
        selection_end = from - 1;
    } else if (from == selection_start) {
        selection_start = to;
    } else if (from == selection_end + 1) {
        int32_t old_start = selection_start;
        selection_end -= from - to;
        if (selection_end >= selection_start)
            return;
        if (to < old_start) {
            selection_start = to;
            selection_end = old_start - 1;
        } else {
            ClearSelection();
        }
    } else {
        ClearSelection();
    }
}

void cEditChild::MoveCaret(int32_t to, bool extend)
{
    if (extend)
        ExtendSelection(caret, to);
    else
        ClearSelection();
    caret = to;
    Redraw(nullptr);
}

void cEditChild::SelectAll()
{
    ClearSelection();
    int32_t length = Length();
    ExtendSelection(0, length);
    caret = length;
}

bool cEditChild::DeleteSelection()
{
    if (read_only || !HasSelection())
        return false;
    int32_t start = selection_start;
    int32_t end = selection_end;
    ClearSelection();
    Redraw(nullptr);
    int32_t length = Length();
    if (start > length)
        start = length;
    if (end >= length)
        end = length - 1;
    int32_t removed = end - start + 1;
    if (removed > 0) {
        wchar_t* text = buffer.Data();
        memmove(text + start, text + end + 1, size_t(length - end - 1) * sizeof(wchar_t));
        memset(text + length - removed, 0, size_t(removed) * sizeof(wchar_t));
    }
    caret = start;
    return true;
}

void cEditChild::DeleteAt(int32_t index)
{
    int32_t length = Length();
    if (index < 0 || index >= length)
        return;
    wchar_t* text = buffer.Data();
    memmove(text + index, text + index + 1, size_t(length - index - 1) * sizeof(wchar_t));
    text[length - 1] = 0;
}

void cEditChild::OnChar(wchar_t character, bool, bool, bool)
{
    if (read_only)
        return;
    DeleteSelection();
    int32_t length = Length();
    if (length >= capacity - 1)
        return;
    wchar_t* text = buffer.Data();
    memmove(text + caret + 1, text + caret, size_t(length - caret + 1) * sizeof(wchar_t));
    text[caret++] = character;
    Redraw(nullptr);
}

void cEditChild::Copy()
{
    if (!HasSelection())
        return;
    int32_t units = selection_end - selection_start + 1;
    _guardchar<wchar_t> copied;
    copied.AssignN(buffer.Data() + selection_start, units);
    if (copied.Text())
        ClipboardPutText(copied.Text(), units + 1);
}

void cEditChild::Cut()
{
    if (read_only)
        return;
    Copy();
    DeleteSelection();
}

void cEditChild::Paste()
{
    if (read_only)
        return;
    DeleteSelection();
    _guardchar<wchar_t> pasted;
    if (!ClipboardGetText(pasted) || pasted.IsEmpty())
        return;
    _typebuf<wchar_t> joined(capacity);
    if (!joined.Data())
        return;
    memset(joined.Data(), 0, size_t(capacity) * sizeof(wchar_t));
    const wchar_t* text = buffer.Data();
    int32_t length = Length();
    int32_t room = capacity - 1;
    int32_t at = 0;
    for (; at < caret; ++at)
        joined[at] = text[at];
    for (const wchar_t* unit = pasted.Text(); *unit && at < room; ++unit)
        joined[at++] = *unit;
    int32_t new_caret = at;
    for (int32_t i = caret; i < length && at < room; ++i)
        joined[at++] = text[i];
    memcpy(buffer.Data(), joined.Data(), size_t(capacity) * sizeof(wchar_t));
    memset(joined.Data(), 0, size_t(capacity) * sizeof(wchar_t));
    caret = new_caret;
    Redraw(nullptr);
}

void cEditChild::OnDoubleClick(int32_t px, int32_t)
{
    int32_t length = Length();
    if (length == 0)
        return;
    const wchar_t* text = buffer.Data();
    int32_t at = HitTest(px);
    bool blank = is_blank(text[at < length ? at : length - 1]);
    int32_t start = at;
    int32_t end = at;
    while (end < length && is_blank(text[end]) == blank)
        ++end;
    while (start > 0 && is_blank(text[start - 1]) == blank)
        --start;
    if (start == end)
        return;
    ExtendSelection(start, end);
    caret = end;
    Redraw(nullptr);
}

bool cEditChild::MoveKey(uint32_t key, bool shift, bool ctrl)
{
    int32_t length = Length();
    switch (key) {
    case VK_END:
    case VK_DOWN:
        MoveCaret(length, shift);
        return true;
    case VK_HOME:
    case VK_UP:
        MoveCaret(0, shift);
        return true;
    case VK_LEFT:
    case VK_RIGHT: {
        bool forward = key == VK_RIGHT;
        int32_t to = ctrl ? word_step(buffer.Data(), length, caret, forward)
                          : (forward ? (caret < length ? caret + 1 : caret) : (caret > 0 ? caret - 1 : caret));
        MoveCaret(to, shift);
        return true;
    }
    default:
        return false;
    }
}

bool cEditChild::EditKey(uint32_t key, bool shift, bool ctrl)
{
    switch (key) {
    case VK_BACK:
        if (read_only || DeleteSelection())
            return true;
        if (caret > 0) {
            DeleteAt(--caret);
            Redraw(nullptr);
        }
        return true;
    case VK_INSERT:
        if (ctrl)
            Copy();
        else if (shift)
            Paste();
        return true;
    case VK_DELETE:
        if (read_only)
            return true;
        if (shift && !ctrl) {
            Cut();
        } else if (!DeleteSelection()) {
            DeleteAt(caret);
            Redraw(nullptr);
        }
        return true;
    default:
        break;
    }
    if (!ctrl)
        return false;
    switch (key) {
    case 'A':
        SelectAll();
        Redraw(nullptr);
        return true;
    case 'C':
        Copy();
        return true;
    case 'V':
        Paste();
        return true;
    case 'X':
        Cut();
        return true;
    default:
        return false;
    }
}

void cEditChild::OnKeyDown(uint32_t key, bool shift, bool ctrl, bool)
{
    if (key == VK_RETURN) {
        PostAction(new cChildAction(enter_code));
        return;
    }
    if (key == VK_ESCAPE) {
        if (HasSelection()) {
            ClearSelection();
            Redraw(nullptr);
        } else {
            PostAction(new cChildAction(escape_code));
        }
        return;
    }
    if (!MoveKey(key, shift, ctrl))
        EditKey(key, shift, ctrl);
}
