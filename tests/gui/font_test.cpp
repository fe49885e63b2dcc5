#include "gui/font.h"

#include <gtest/gtest.h>

#include <string>

#include "gui/ui_font.h"
#include "gui/ui_font_choice.h"
#include "tests/gui/canvas_probe.h"
#include "tests/support/test_data.h"

namespace {

LOGFONTW described(const cWinFont& font)
{
    LOGFONTW logical = {};
    EXPECT_EQ(GetObjectW(font.GetHandle(), sizeof(logical), &logical), int(sizeof(logical)));
    return logical;
}

int CALLBACK keep_first_family(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM out)
{
    *reinterpret_cast<std::wstring*>(out) = font->lfFaceName;
    return 0;
}

}  // namespace

// The expected sizes are the correction table worked out by hand, with
// round(v) = v + 0.5 truncated.
TEST(Font, GdiFontSizeIsCorrectedPerEastAsianFace)
{
    const struct {
        const wchar_t* face;
        int32_t width, height, weight, gdi_width, gdi_height;
    } cases[] = {
        {L"Microsoft YaHei", 5, 13, 400, 7, 18},    {L"Microsoft YaHei", 5, 13, 700, 8, 19},
        {L"Microsoft YaHei", 10, 20, 400, 11, 22},  {L"Meiryo", 5, 13, 400, 11, 18},
        {L"Meiryo", 8, 20, 700, 14, 22},            {L"Microsoft JhengHei", 5, 13, 400, 6, 17},
        {L"Microsoft JhengHei", 5, 15, 700, 7, 18}, {L"Microsoft JhengHei", 6, 20, 400, 7, 23},
        {L"PMingLiU", 5, 13, 400, 6, 13},           {L"SimSun", 8, 14, 400, 10, 14},
        {L"Tahoma", 5, 13, 400, 5, 13},             {L"meiryo", 5, 13, 400, 5, 13},
        {L"tahoma", 7, 21, 700, 7, 21},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.face << " " << c.width << "x" << c.height << " " << c.weight);
        cWinFont font;
        ASSERT_TRUE(create_gdi_font(&font, c.face, c.height, c.width, c.weight, false, false));
        LOGFONTW logical = described(font);
        EXPECT_EQ(logical.lfWidth, c.gdi_width);
        EXPECT_EQ(logical.lfHeight, c.gdi_height);
        EXPECT_EQ(logical.lfWeight, c.weight);
        EXPECT_EQ(std::wstring(logical.lfFaceName), c.face);
    }
}

TEST(Font, GdiFontCarriesStyleAndReplacesItsHandle)
{
    cWinFont font;
    ASSERT_TRUE(font.Create(5, 13, L"Tahoma", true, true, true));
    HFONT first = font.GetHandle();
    LOGFONTW logical = described(font);
    EXPECT_EQ(logical.lfWeight, 700);
    EXPECT_TRUE(logical.lfItalic);
    EXPECT_TRUE(logical.lfUnderline);
    EXPECT_FALSE(logical.lfStrikeOut);
    EXPECT_EQ(logical.lfCharSet, ANSI_CHARSET);
    EXPECT_EQ(logical.lfQuality, PROOF_QUALITY);

    ASSERT_TRUE(font.Create(6, 14, L"Tahoma", false, false, false));
    EXPECT_NE(font.GetHandle(), nullptr);
    LOGFONTW gone = {};
    if (font.GetHandle() != first) {
        EXPECT_EQ(GetObjectW(first, sizeof(gone), &gone), 0) << "the previous handle is deleted";
    }
    EXPECT_FALSE(create_gdi_font(&font, nullptr, 13, 5, 400, false, false));
    EXPECT_EQ(font.GetHandle(), nullptr);
    EXPECT_FALSE(create_gdi_font(nullptr, L"Tahoma", 13, 5, 400, false, false));
}

TEST(Font, CacheAnswersOneObjectPerExactDescription)
{
    cFontObject* plain = font_get_cached(5, 13, L"Tahoma", false, false, false);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(font_get_cached(5, 13, L"Tahoma", false, false, false), plain);
    cFontObject* lower = font_get_cached(5, 13, L"tahoma", false, false, false);
    ASSERT_NE(lower, nullptr);
    EXPECT_NE(lower, plain) << "faces compare case-sensitively";
    EXPECT_EQ(font_get_cached(5, 13, nullptr, false, false, false), nullptr);
    const cFontKey plain_key = {5, 13, L"Tahoma", false, false, false};
    EXPECT_TRUE(plain->Matches(&plain_key));
    EXPECT_FALSE(plain->Matches(nullptr));
    const cFontKey others[] = {{5, 13, L"Tahoma", true, false, false}, {5, 13, L"Tahoma", false, true, false},
                               {5, 13, L"Tahoma", false, false, true}, {6, 13, L"Tahoma", false, false, false},
                               {5, 14, L"Tahoma", false, false, false}};
    for (const cFontKey& key : others) {
        cFontObject* other = font_get_cached(key.width, key.height, key.face, key.bold, key.underline, key.italic);
        ASSERT_NE(other, nullptr);
        EXPECT_NE(other, plain);
        EXPECT_TRUE(other->Matches(&key));
        EXPECT_FALSE(plain->Matches(&key));
    }
}

TEST(Font, MeasuringThroughTheFontMatchesTheCanvas)
{
    auto canvas = make_canvas(20, 20);
    cFontObject* font = font_get_cached(8, 20, L"Tahoma", true, false, false);
    ASSERT_NE(font, nullptr);
    ASSERT_TRUE(font->SelectInto(canvas.get()));
    EXPECT_FALSE(font->SelectInto(nullptr));
    cSize by_canvas = text_size(*canvas, L"Bremen");
    cSize by_font = {};
    cSize narrow = {};
    ASSERT_TRUE(font->MeasureW(canvas.get(), L"Bremen", -1, &by_font));
    ASSERT_TRUE(font->MeasureA(canvas.get(), "Bremen", -1, &narrow));
    EXPECT_EQ(by_font.width, by_canvas.width);
    EXPECT_EQ(by_font.height, by_canvas.height);
    EXPECT_EQ(narrow.width, by_canvas.width);
    EXPECT_FALSE(font->MeasureW(nullptr, L"Bremen", -1, &by_font));

    // A smaller font measures narrower, and measuring on a device context
    // puts back the font that was selected there.
    cWinFont* small = static_cast<cWinFont*>(font_get_cached(5, 13, L"Tahoma", false, false, false));
    ASSERT_NE(small, nullptr);
    cSize small_size = {};
    ASSERT_TRUE(small->MeasureW(canvas.get(), L"Bremen", 6, &small_size));
    EXPECT_LT(small_size.width, by_canvas.width);
    HDC dc = canvas->GetDeviceContext();
    HGDIOBJ selected = GetCurrentObject(dc, OBJ_FONT);
    ASSERT_TRUE(measure_text_on_dc(dc, small->GetHandle(), L"Bremen", -1, &small_size));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), selected);
    EXPECT_FALSE(measure_text_on_dc(dc, small->GetHandle(), nullptr, -1, &small_size));
}

TEST(Font, SelectingAFontByDescriptionChangesTheCanvasFont)
{
    auto canvas = make_canvas(20, 20);
    int32_t before = text_size(*canvas, L"Kiel").height;
    ASSERT_TRUE(canvas->SelectFontBy(10, 26, L"Tahoma", false, false, false));
    int32_t after = text_size(*canvas, L"Kiel").height;
    EXPECT_GT(after, before);
    EXPECT_FALSE(canvas->SelectFont(nullptr));
    EXPECT_FALSE(canvas->SelectFontBy(10, 26, nullptr, false, false, false));
    EXPECT_EQ(text_size(*canvas, L"Kiel").height, after) << "a missing font leaves the previous one selected";
}

TEST(Font, FaceExistenceIsAskedOfTheSystem)
{
    std::wstring installed;
    HDC dc = CreateCompatibleDC(nullptr);
    LOGFONTW any = {};
    any.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExW(dc, &any, keep_first_family, reinterpret_cast<LPARAM>(&installed), 0);
    DeleteDC(dc);
    ASSERT_FALSE(installed.empty());
    EXPECT_TRUE(font_face_exists(installed.c_str()));
    EXPECT_FALSE(font_face_exists(L"No Such Face Anywhere"));
    EXPECT_FALSE(font_face_exists(L"A face name longer than the thirty-one units GDI keeps"));
    EXPECT_FALSE(font_face_exists(L""));
    EXPECT_FALSE(font_face_exists(nullptr));
}

// This system has none of the East Asian faces: each of those languages
// falls back to "Tahoma" with its spacing and offset, until the generated
// font whose family is "Meiryo" is added for this process.
TEST(Font, EastAsianLanguageAdoptsItsFaceOnlyWhenTheSystemHasIt)
{
    const struct {
        uint32_t language;
        const wchar_t* face;
    } languages[] = {{3, L"Meiryo"}, {4, L"Malgun Gothic"}, {8, L"Microsoft YaHei"}, {9, L"Microsoft JhengHei"}};
    for (const auto& language : languages) {
        ASSERT_FALSE(font_face_exists(language.face)) << "this test needs a system without the face";
        EXPECT_EQ(std::wstring(choose_ui_font_face(language.language)), L"Tahoma") << language.language;
        EXPECT_EQ(std::wstring(get_ui_font_face_name()), L"Tahoma");
        EXPECT_EQ(get_ui_line_spacing(), 1.2);
        EXPECT_EQ(get_ui_text_offset(), 3);
    }
    EXPECT_EQ(std::wstring(choose_ui_font_face(0)), L"Tahoma");
    EXPECT_EQ(std::wstring(get_ui_font_face()), L"Tahoma");

    std::string narrow = test_data_path("east_asian_face.ttf");
    std::wstring path(narrow.begin(), narrow.end());
    ASSERT_GT(AddFontResourceExW(path.c_str(), FR_PRIVATE, nullptr), 0);
    EXPECT_TRUE(font_face_exists(L"Meiryo"));
    EXPECT_EQ(std::wstring(choose_ui_font_face(3)), L"Meiryo");
    EXPECT_EQ(std::wstring(get_ui_font_face_name()), L"Meiryo");
    EXPECT_EQ(get_ui_line_spacing(), 0.9);
    EXPECT_EQ(get_ui_text_offset(), 0);
    // Korean has no face here; a default-face interface gets the default
    // spacing back.
    EXPECT_EQ(std::wstring(choose_ui_font_face(4)), L"Tahoma");
    EXPECT_EQ(get_ui_line_spacing(), 1.2);
    EXPECT_EQ(get_ui_text_offset(), 3);
    EXPECT_EQ(std::wstring(choose_ui_font_face(3)), L"Meiryo");
    EXPECT_EQ(std::wstring(choose_ui_font_face(0)), L"Tahoma");
    EXPECT_EQ(get_ui_line_spacing(), 1.2);

    RemoveFontResourceExW(path.c_str(), FR_PRIVATE, nullptr);
    EXPECT_FALSE(font_face_exists(L"Meiryo"));
    EXPECT_EQ(std::wstring(choose_ui_font_face(3)), L"Tahoma");
}
