#ifndef GUI_KEY_TRANSLATION_H
#define GUI_KEY_TRANSLATION_H

#include <stdint.h>
#include <windows.h>

// The signature of ToUnicode, so that a keyboard model can stand in for it.
typedef int(WINAPI* to_unicode_function)(UINT key, UINT scan_code, const BYTE* state, LPWSTR buffer, int capacity,
                                         UINT flags);

// A-Z, 0-9, space, the numeric pad and the punctuation keys: keys that
// type characters.
bool is_character_key(uint32_t key);

// Turns character keys into characters with the keyboard layout, composing
// dead keys with the key that follows.
//
// The message loops run TranslateMessage before a key reaches the window,
// and TranslateMessage already feeds the layout's dead-key state: a second
// translation of the same key in the window would see that state and
// consume it (a dead key then reads as two accents, and the letter after it
// no longer composes). The composer therefore keeps the pending dead key
// itself: before each translation it clears the layout's state (a space
// ends any pending dead key), replays the remembered dead key, and then
// translates the key, so that the layout composes exactly as if only this
// window had asked. It leaves the layout's state clear after each key.
class cKeyComposer {
public:
    explicit cKeyComposer(to_unicode_function function = nullptr);

    // Translates the key with the keyboard state (256 entries). Answers the
    // number of characters put into out (capacity 32); -1 for a dead key,
    // which is kept for the next key and gives no character.
    int32_t Translate(uint32_t key, uint32_t scan_code, const BYTE* state, wchar_t* out);
    bool HasPendingDeadKey() const { return pending_key != 0; }

private:
    void ClearLayoutState();

    to_unicode_function to_unicode;
    uint32_t pending_key;
    uint32_t pending_scan_code;
    BYTE pending_state[256];
};

// What a key press gives the element tree.
struct cKeyPressResult {
    bool has_character;
    wchar_t character;
    bool has_key;
    uint32_t key;
    bool shift;
    bool ctrl;
    bool alt;
};

// Decides a key press from the keyboard state. A character key without
// Ctrl, or with Ctrl and Alt together (AltGr), is translated: one
// character gives the character and the key, a dead key gives only the key,
// two or more characters drop the key. A translation to nothing, or to a
// control character under AltGr, makes the key a shortcut. Any other key,
// and a character key with Ctrl alone, is a key with its modifiers.
// False for the modifier keys themselves, which give nothing.
bool decide_key_press(cKeyComposer& composer, uint32_t key, uint32_t scan_code, const BYTE* state,
                      cKeyPressResult* result);

#endif
