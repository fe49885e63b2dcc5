#include "gui/key_translation.h"

#include <string.h>

namespace {

const int32_t buffer_capacity = 32;

bool is_down(const BYTE* state, uint32_t key)
{
    return (state[key] & 0x80) != 0;
}

}  // namespace

bool is_character_key(uint32_t key)
{
    return (key >= 0x41 && key <= 0x5A) || (key >= 0x30 && key <= 0x39) || key == 0x20 ||
           (key >= 0x60 && key <= 0x6F) || (key >= 0xBA && key <= 0xC0) || (key >= 0xDB && key <= 0xE4);
}

cKeyComposer::cKeyComposer(to_unicode_function function)
    : to_unicode(function ? function : ToUnicode), pending_key(0), pending_scan_code(0)
{
    memset(pending_state, 0, sizeof(pending_state));
}

void cKeyComposer::ClearLayoutState()
{
    BYTE empty[256] = {};
    wchar_t ignored[buffer_capacity];
    to_unicode(VK_SPACE, MapVirtualKeyW(VK_SPACE, MAPVK_VK_TO_VSC), empty, ignored, buffer_capacity, 0);
}

int32_t cKeyComposer::Translate(uint32_t key, uint32_t scan_code, const BYTE* state, wchar_t* out)
{
    ClearLayoutState();
    wchar_t ignored[buffer_capacity];
    if (pending_key)
        to_unicode(pending_key, pending_scan_code, pending_state, ignored, buffer_capacity, 0);
    int32_t count = to_unicode(key, scan_code, state, out, buffer_capacity, 0);
    if (count < 0) {
        pending_key = key;
        pending_scan_code = scan_code;
        memcpy(pending_state, state, sizeof(pending_state));
        ClearLayoutState();
        return -1;
    }
    pending_key = 0;
    return count;
}

bool decide_key_press(cKeyComposer& composer, uint32_t key, uint32_t scan_code, const BYTE* state,
                      cKeyPressResult* result)
{
    if (key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU)
        return false;
    bool shift = is_down(state, VK_SHIFT);
    bool ctrl = is_down(state, VK_CONTROL);
    bool alt = is_down(state, VK_MENU);
    memset(result, 0, sizeof(*result));
    result->shift = shift;
    result->ctrl = ctrl;
    result->alt = alt;
    result->has_key = true;
    result->key = key & 0xFF;
    bool alt_graph = ctrl && alt;
    if (!is_character_key(key) || (ctrl && !alt))
        return true;
    wchar_t buffer[buffer_capacity];
    int32_t count = composer.Translate(key, scan_code, state, buffer);
    if (count >= 2) {
        result->has_key = false;
        return true;
    }
    if (count < 0) {
        // A dead key types nothing now; the next key composes with it.
        result->ctrl = false;
        return true;
    }
    wchar_t character = count == 1 ? buffer[0] : wchar_t(key);
    if (alt_graph && (count == 0 || character < 0x20))
        return true;
    // The character and the key go to the tree without Ctrl; under AltGr
    // the chord selects the character and is no Alt for the tree.
    result->has_character = true;
    result->character = character;
    result->ctrl = false;
    if (alt_graph)
        result->alt = false;
    result->key = key;
    return true;
}
