#ifndef GUI_CURSOR_SHAPE_H
#define GUI_CURSOR_SHAPE_H

#include <stdint.h>
#include <windows.h>

// The system cursor of a cursor kind: 1 I-beam, 2 wait, 3 hand, 4 and 6
// west-east, 5 and 7 north-south, 8 north-east/south-west, 9
// north-west/south-east; 0 and any other kind the arrow. Null when it
// cannot be loaded.
HCURSOR load_cursor_for_kind(uint32_t kind);

// The cursor a window shows, remembered by kind. The chosen cursor becomes
// the current one and the class cursor of the window, so that Windows shows
// it again on every mouse move.
class cCursorShape {
public:
    cCursorShape() : kind(-1), cursor(nullptr) {}

    // False when the kind's cursor cannot be loaded (the kind then stays).
    bool Set(HWND window, uint32_t new_kind);
    int32_t GetKind() const { return kind; }

private:
    int32_t kind;
    HCURSOR cursor;
};

#endif
