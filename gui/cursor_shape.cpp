#include "gui/cursor_shape.h"

HCURSOR load_cursor_for_kind(uint32_t kind)
{
    LPCSTR id;
    switch (kind) {
    case 1:
        id = IDC_IBEAM;
        break;
    case 2:
        id = IDC_WAIT;
        break;
    case 3:
        id = IDC_HAND;
        break;
    case 4:
    case 6:
        id = IDC_SIZEWE;
        break;
    case 5:
    case 7:
        id = IDC_SIZENS;
        break;
    case 8:
        id = IDC_SIZENESW;
        break;
    case 9:
        id = IDC_SIZENWSE;
        break;
    default:
        id = IDC_ARROW;
        break;
    }
    return LoadCursorA(nullptr, id);
}

bool cCursorShape::Set(HWND window, uint32_t new_kind)
{
    if (kind >= 0 && uint32_t(kind) == new_kind) {
        if (GetCursor() != cursor) {
            SetCursor(cursor);
            SetClassLongPtrW(window, GCLP_HCURSOR, LONG_PTR(cursor));
        }
        return true;
    }
    HCURSOR loaded = load_cursor_for_kind(new_kind);
    if (!loaded)
        return false;
    kind = int32_t(new_kind);
    cursor = loaded;
    SetCursor(cursor);
    SetClassLongPtrW(window, GCLP_HCURSOR, LONG_PTR(cursor));
    return true;
}
