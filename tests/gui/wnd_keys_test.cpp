#include <gtest/gtest.h>
#include <windows.h>

#include <string>

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
    for (size_t i = 0; i < text.size(); ++i)
        buffer[i] = text[i];
    return int(text.size());
}

int WINAPI model_to_unicode(UINT key, UINT, const BYTE* state, LPWSTR buffer, int, UINT)
{
    ++model.calls;
    bool shift = state[VK_SHIFT] & 0x80;
    bool ctrl = state[VK_CONTROL] & 0x80;
    bool alt = state[VK_MENU] & 0x80;
    wchar_t base = 0;
    if (key >= 'A' && key <= 'Z') {
        if (ctrl && alt) {
            if (key == 'Q')
                base = L'@';
            else if (model.control_characters_under_alt_graph)
                base = wchar_t(key - 'A' + 1);
            else
                return 0;
        } else if (ctrl) {
            base = wchar_t(key - 'A' + 1);
        } else {
            base = shift ? wchar_t(key) : wchar_t(key - 'A' + 'a');
        }
    } else if (key == VK_SPACE) {
        base = L' ';
    } else if (key == dead_circumflex) {
        if (model.pending) {
            wchar_t first = model.pending;
            model.pending = 0;
            return put(buffer, std::wstring{first, L'^'});
        }
        model.pending = L'^';
        buffer[0] = L'^';
        return -1;
    } else if (key == two_characters) {
        return put(buffer, L"ae");
    } else {
        return 0;
    }
    if (model.pending) {
        wchar_t pending = model.pending;
        model.pending = 0;
        if (base == L' ')
            return put(buffer, std::wstring{pending});
        const std::wstring plain = L"aeiouAEIOU";
        const std::wstring composed = L"\u00e2\u00ea\u00ee\u00f4\u00fb\u00c2\u00ca\u00ce\u00d4\u00db";
        size_t at = plain.find(base);
        if (at != std::wstring::npos)
            return put(buffer, std::wstring{composed[at]});
        return put(buffer, std::wstring{pending, base});
    }
    buffer[0] = base;
    return 1;
}

struct Modifiers {
    bool shift, ctrl, alt;
};

void make_state(BYTE* state, Modifiers m)
{
    memset(state, 0, 256);
    state[VK_SHIFT] = m.shift ? 0x80 : 0;
    state[VK_CONTROL] = m.ctrl ? 0x80 : 0;
    state[VK_MENU] = m.alt ? 0x80 : 0;
}

class KeyPressTest : public ::testing::Test {
protected:
    void SetUp() override { model = KeyboardModel{}; }

    // One key as the message loop delivers it: TranslateMessage (when the
    // loop runs one) translates first, then the window decides.
    cKeyPressResult Press(UINT key, Modifiers m = {false, false, false}, bool loop_translates = true)
    {
        BYTE state[256];
        make_state(state, m);
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

TEST_F(KeyPressTest, LetterGivesCharacterThenKey)
{
    cKeyPressResult r = Press('A', {true, false, false});
    ASSERT_TRUE(decided);
    EXPECT_TRUE(r.has_character);
    EXPECT_EQ(r.character, L'A');
    EXPECT_TRUE(r.has_key);
    EXPECT_EQ(r.key, uint32_t('A'));
    EXPECT_TRUE(r.shift);
    EXPECT_FALSE(r.ctrl);
}

TEST_F(KeyPressTest, CtrlLetterIsAShortcut)
{
    cKeyPressResult r = Press('C', {false, true, false});
    EXPECT_FALSE(r.has_character);
    EXPECT_TRUE(r.has_key);
    EXPECT_EQ(r.key, uint32_t('C'));
    EXPECT_TRUE(r.ctrl);
}

TEST_F(KeyPressTest, AltGraphTypesItsCharacter)
{
    cKeyPressResult r = Press('Q', {false, true, true});
    EXPECT_TRUE(r.has_character);
    EXPECT_EQ(r.character, L'@');
    EXPECT_FALSE(r.ctrl);
    EXPECT_FALSE(r.alt);
    EXPECT_TRUE(r.has_key);
}

TEST_F(KeyPressTest, CtrlAltWithoutLayoutCharacterStaysAShortcut)
{
    cKeyPressResult r = Press('A', {false, true, true});
    EXPECT_FALSE(r.has_character);
    EXPECT_TRUE(r.has_key);
    EXPECT_TRUE(r.ctrl);
    EXPECT_TRUE(r.alt);
    model.control_characters_under_alt_graph = true;
    r = Press('B', {false, true, true});
    EXPECT_FALSE(r.has_character);
    EXPECT_TRUE(r.ctrl);
}

TEST_F(KeyPressTest, AltLetterTypesWithAlt)
{
    cKeyPressResult r = Press('F', {false, false, true});
    EXPECT_TRUE(r.has_character);
    EXPECT_EQ(r.character, L'f');
    EXPECT_TRUE(r.alt);
}

TEST_F(KeyPressTest, DeadKeyTypesNothingAndComposesWithTheNextLetter)
{
    for (bool loop_translates : {true, false}) {
        SCOPED_TRACE(loop_translates);
        cKeyPressResult r = Press(dead_circumflex, {false, false, false}, loop_translates);
        EXPECT_FALSE(r.has_character);
        EXPECT_TRUE(r.has_key);
        EXPECT_TRUE(composer.HasPendingDeadKey());
        r = Press('E', {false, false, false}, loop_translates);
        EXPECT_TRUE(r.has_character);
        EXPECT_EQ(r.character, L'\u00ea');
        EXPECT_FALSE(composer.HasPendingDeadKey());
        // The next letter is plain again.
        r = Press('E', {false, false, false}, loop_translates);
        EXPECT_EQ(r.character, L'e');
    }
}

TEST_F(KeyPressTest, DeadKeyBeforeSpaceTypesTheAccent)
{
    Press(dead_circumflex);
    cKeyPressResult r = Press(VK_SPACE);
    EXPECT_TRUE(r.has_character);
    EXPECT_EQ(r.character, L'^');
}

TEST_F(KeyPressTest, KeyTypingTwoCharactersIsDropped)
{
    cKeyPressResult r = Press(two_characters);
    ASSERT_TRUE(decided);
    EXPECT_FALSE(r.has_character);
    EXPECT_FALSE(r.has_key);
    // So is a dead key followed by a letter it does not compose with.
    Press(dead_circumflex);
    r = Press('X');
    EXPECT_FALSE(r.has_character);
    EXPECT_FALSE(r.has_key);
}

TEST_F(KeyPressTest, UntranslatedCharacterKeyTypesItsCode)
{
    cKeyPressResult r = Press(VK_NUMPAD5);
    EXPECT_TRUE(r.has_character);
    EXPECT_EQ(r.character, wchar_t(VK_NUMPAD5));
}

TEST_F(KeyPressTest, OtherKeysAndModifiers)
{
    cKeyPressResult r = Press(VK_LEFT, {true, true, false});
    EXPECT_FALSE(r.has_character);
    EXPECT_EQ(r.key, uint32_t(VK_LEFT));
    EXPECT_TRUE(r.shift);
    EXPECT_TRUE(r.ctrl);
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
    EXPECT_TRUE(r.has_character);
    EXPECT_EQ(r.character, L'k');
    state[VK_SHIFT] = 0x80;
    ASSERT_TRUE(decide_key_press(composer, '7', MapVirtualKeyW('7', MAPVK_VK_TO_VSC), state, &r));
    EXPECT_EQ(r.character, L'&');
}

}  // namespace
