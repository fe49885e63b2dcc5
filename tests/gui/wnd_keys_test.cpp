#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "gui/key_translation.h"

namespace {

// A small keyboard layout with one dead key (circumflex on VK_OEM_6), an
// AltGr character (Q gives '@'), one key typing two characters (VK_OEM_102)
// and the layout's dead-key state, as ToUnicode keeps it.
struct KeyboardModel {
    wchar_t pending = 0;
    bool control_characters_under_alt_graph = false;
    int calls = 0;
};
KeyboardModel model;

const UINT dead_circumflex = VK_OEM_6;
const UINT two_characters = VK_OEM_102;

int put(LPWSTR buffer, const std::wstring& text)
{
    text.copy(buffer, text.size());
    return int(text.size());
}

int WINAPI model_to_unicode(UINT key, UINT, const BYTE* state, LPWSTR buffer, int, UINT)
{
    ++model.calls;
    bool shift = state[VK_SHIFT] & 0x80, ctrl = state[VK_CONTROL] & 0x80, alt = state[VK_MENU] & 0x80;
    wchar_t base = 0;
    if (key >= 'A' && key <= 'Z') {
        if (ctrl && alt && key == 'Q')
            base = L'@';
        else if (ctrl && alt && !model.control_characters_under_alt_graph)
            return 0;
        else if (ctrl)
            base = wchar_t(key - 'A' + 1);
        else
            base = shift ? wchar_t(key) : wchar_t(key - 'A' + 'a');
    } else if (key == VK_SPACE) {
        base = L' ';
    } else if (key == dead_circumflex) {
        if (model.pending) {
            model.pending = 0;
            return put(buffer, L"^^");
        }
        model.pending = buffer[0] = L'^';
        return -1;
    } else if (key == two_characters) {
        return put(buffer, L"ae");
    } else {
        return 0;
    }
    wchar_t pending = model.pending;
    model.pending = 0;
    if (!pending || base == L' ')
        return put(buffer, std::wstring{pending ? pending : base});
    const std::wstring plain = L"aeiouAEIOU";
    const std::wstring composed = L"\u00e2\u00ea\u00ee\u00f4\u00fb\u00c2\u00ca\u00ce\u00d4\u00db";
    size_t at = plain.find(base);
    return put(buffer, at != std::wstring::npos ? std::wstring{composed[at]} : std::wstring{pending, base});
}

struct Modifiers {
    bool shift, ctrl, alt;
};
const Modifiers none = {false, false, false};

class KeyPressTest : public ::testing::Test {
protected:
    void SetUp() override { model = KeyboardModel{}; }

    // One key as the message loop delivers it: TranslateMessage (when the
    // loop runs one) translates first, then the window decides.
    cKeyPressResult Press(UINT key, Modifiers m = none, bool loop_translates = true)
    {
        BYTE state[256] = {};
        state[VK_SHIFT] = m.shift ? 0x80 : 0;
        state[VK_CONTROL] = m.ctrl ? 0x80 : 0;
        state[VK_MENU] = m.alt ? 0x80 : 0;
        if (loop_translates && is_character_key(key)) {
            wchar_t ignored[32];
            model_to_unicode(key, 0, state, ignored, 32, 0);
        }
        cKeyPressResult result;
        decided = decide_key_press(composer, key, 0, state, &result);
        return result;
    }

    cKeyComposer composer{model_to_unicode};
    bool decided = false;
};

TEST_F(KeyPressTest, KeysGiveTheirCharacterAndModifiers)
{
    struct Case {
        const char* name;
        std::vector<UINT> before;  // pressed first, without modifiers
        UINT key;
        Modifiers m;
        bool has_character;
        wchar_t character;
        bool has_key, ctrl, alt;
    };
    const Case cases[] = {
        {"letter", {}, 'A', {true, false, false}, true, L'A', true, false, false},
        {"ctrl letter is a shortcut", {}, 'C', {false, true, false}, false, 0, true, true, false},
        {"AltGr character", {}, 'Q', {false, true, true}, true, L'@', true, false, false},
        {"ctrl alt without layout character", {}, 'A', {false, true, true}, false, 0, true, true, true},
        {"alt letter", {}, 'F', {false, false, true}, true, L'f', true, false, true},
        {"dead key", {}, dead_circumflex, none, false, 0, true, false, false},
        {"dead key before space", {dead_circumflex}, VK_SPACE, none, true, L'^', true, false, false},
        {"two characters are dropped", {}, two_characters, none, false, 0, false, false, false},
        {"dead key not composing is dropped", {dead_circumflex}, 'X', none, false, 0, false, false, false},
        {"untranslated character key", {}, VK_NUMPAD5, none, true, wchar_t(VK_NUMPAD5), true, false, false},
        {"other key", {}, VK_LEFT, {true, true, false}, false, 0, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        model = KeyboardModel{};
        composer = cKeyComposer(model_to_unicode);
        for (UINT key : c.before)
            Press(key);
        cKeyPressResult r = Press(c.key, c.m);
        ASSERT_TRUE(decided);
        EXPECT_EQ(r.has_character, c.has_character);
        if (c.has_character) {
            EXPECT_EQ(r.character, c.character);
        }
        EXPECT_EQ(r.has_key, c.has_key);
        if (c.has_key) {
            EXPECT_EQ(r.key, uint32_t(c.key));
            EXPECT_EQ(r.shift, c.m.shift);
            EXPECT_EQ(r.ctrl, c.ctrl);
            EXPECT_EQ(r.alt, c.alt);
        }
    }
}

TEST_F(KeyPressTest, ControlCharacterUnderAltGraphStaysAShortcut)
{
    model.control_characters_under_alt_graph = true;
    cKeyPressResult r = Press('B', {false, true, true});
    EXPECT_FALSE(r.has_character);
    EXPECT_TRUE(r.ctrl);
}

TEST_F(KeyPressTest, DeadKeyComposesWithTheNextLetterOnlyOnce)
{
    for (bool loop_translates : {true, false}) {
        SCOPED_TRACE(loop_translates);
        EXPECT_FALSE(Press(dead_circumflex, none, loop_translates).has_character);
        EXPECT_TRUE(composer.HasPendingDeadKey());
        EXPECT_EQ(Press('E', none, loop_translates).character, L'\u00ea');
        EXPECT_FALSE(composer.HasPendingDeadKey());
        EXPECT_EQ(Press('E', none, loop_translates).character, L'e');
    }
}

TEST_F(KeyPressTest, NonCharacterKeysSkipTheLayoutAndModifiersDecideNothing)
{
    Press(VK_LEFT);
    EXPECT_EQ(model.calls, 0);
    for (UINT modifier : {VK_SHIFT, VK_CONTROL, VK_MENU}) {
        Press(modifier);
        EXPECT_FALSE(decided);
    }
}

TEST(CharacterKeys, Ranges)
{
    for (uint32_t key = 0; key < 256; ++key) {
        bool expected = (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9') || key == ' ' ||
                        (key >= VK_NUMPAD0 && key <= VK_DIVIDE) || (key >= VK_OEM_1 && key <= VK_OEM_3) ||
                        (key >= VK_OEM_4 && key <= 0xE4);
        EXPECT_EQ(is_character_key(key), expected) << key;
    }
}

TEST(SystemLayout, LettersTranslateThroughTheRealLayout)
{
    cKeyComposer composer;
    BYTE state[256] = {};
    cKeyPressResult r;
    ASSERT_TRUE(decide_key_press(composer, 'K', MapVirtualKeyW('K', MAPVK_VK_TO_VSC), state, &r));
    EXPECT_EQ(r.character, L'k');
    state[VK_SHIFT] = 0x80;
    ASSERT_TRUE(decide_key_press(composer, '7', MapVirtualKeyW('7', MAPVK_VK_TO_VSC), state, &r));
    EXPECT_EQ(r.character, L'&');
}

}  // namespace
