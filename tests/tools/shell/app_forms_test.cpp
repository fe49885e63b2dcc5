// The language form and the response form run by the program's own
// application object, driven by real mouse and keys on the virtual screen
// and read back from it.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/canvas.h"
#include "gui/image_buffer.h"
#include "gui/language.h"
#include "gui/theme.h"
#include "gui/ui_font.h"
#include "gui/window_maker.h"
#include "tests/gui/controls/form_window.h"
#include "tests/support/language_config.h"
#include "tools/shell/app_language.h"
#include "tools/shell/language_form.h"
#include "tools/shell/pelmaro_app.h"
#include "tools/shell/response_form.h"

namespace {

const UINT step_gap_ms = 200;

// The program's application object whose run is the test's body.
class cFormsApp : public cPelmaroApp {
public:
    explicit cFormsApp(std::function<int32_t()> run_body) : body(std::move(run_body)) {}
    int32_t Run() override { return body(); }
    std::function<int32_t()> body;
};

int32_t run_in_application(std::function<int32_t()> body)
{
    wchar_t name[] = L"forms";
    wchar_t* argv[] = {name};
    return run_application(new cFormsApp(std::move(body)), GetModuleHandleW(nullptr), 0, 101, 1, argv,
                           new cLanguageConfig, L"qrv");
}

// How the program's canvas draws text in the form's title font and colours
// (rows top first, 0x00RRGGBB).
std::vector<uint32_t> drawn_title(const wchar_t* text, int w, int h)
{
    cCanvas* canvas = get_current_application()->GetWindowMaker()->CreateOffscreenCanvas(w, h);
    cRect all{0, 0, w, h};
    canvas->FillRect(&all, 0xE7E7E7, 0xE7E7E7);
    canvas->SelectFontBy(10, 24, get_ui_font_face_name(), false, false, false);
    canvas->SetTextColours(0x655654, 0);
    canvas->DrawTextColoured(0, 0, true, text, -1);
    cImageBuffer image;
    canvas->CopyPixels(&image, &all);
    delete canvas;
    std::vector<uint32_t> pixels;
    for (int row = h - 1; row >= 0; --row)
        for (int column = 0; column < w; ++column)
            pixels.push_back(image.GetPixels()[size_t(row) * w + column] & 0xFFFFFF);
    return pixels;
}

void click_client(HWND window, int x, int y)
{
    POINT at{x, y};
    ClientToScreen(window, &at);
    send_click_at(at.x, at.y);
}

// Where the opaque pixels of the image show in the window's client area
// (first match, scanning rows); false when nowhere.
bool shows_image(HWND window, const cImageBuffer* image)
{
    RECT client;
    GetClientRect(window, &client);
    int w = client.right, h = client.bottom, iw = image->GetWidth(), ih = image->GetHeight();
    std::vector<uint32_t> shown = window_pixels(window, 0, 0, w, h);
    const uint32_t* pixels = image->GetPixels();
    for (int y = 0; y + ih <= h; ++y) {
        for (int x = 0; x + iw <= w; ++x) {
            bool all = true;
            for (int row = 0; row < ih && all; ++row)
                for (int column = 0; column < iw && all; ++column) {
                    uint32_t pixel = pixels[size_t(ih - 1 - row) * iw + column];
                    all = pixel >> 24 != 0xFF || shown[size_t(y + row) * w + x + column] == (pixel & 0xFFFFFF);
                }
            if (all)
                return true;
        }
    }
    return false;
}

std::wstring title_of(HWND window)
{
    wchar_t title[256] = {};
    GetWindowTextW(window, title, 256);
    return title;
}

const int title_width = 360, title_height = 30;

}  // namespace

TEST(LanguageForm, ClickingALanguageSwitchesTheFormAndEnterChoosesIt)
{
    std::vector<uint32_t> english, russian, expected_english, expected_russian;
    uint32_t chosen = 99;
    run_in_application([&]() {
        cFormWindow::RunSteps({
            []() { SetForegroundWindow(GetActiveWindow()); },
            [&]() {
                english = window_pixels(GetActiveWindow(), 15, 25, title_width, title_height);
                expected_english = drawn_title(L"Select setup language", title_width, title_height);
                click_client(GetActiveWindow(), 150, 95 + 30 + 15);
            },
            [&]() {
                russian = window_pixels(GetActiveWindow(), 15, 25, title_width, title_height);
                expected_russian = drawn_title(L"Выберите язык установки", title_width, title_height);
                send_key_press(VK_RETURN);
            },
        }, step_gap_ms);
        _typebuf<uint32_t> ids{3};
        ids[0] = 0, ids[1] = 1, ids[2] = 2;
        chosen = run_language_selection(ids, nullptr, 0, L"product");
        return 0;
    });
    EXPECT_EQ(chosen, 1u);
    EXPECT_EQ(english, expected_english) << "the English title before the click";
    EXPECT_EQ(russian, expected_russian) << "the Russian title after it";
    EXPECT_NE(english, russian);
    EXPECT_STREQ(get_language_code(get_current_language()), L"RUS");
}

TEST(LanguageForm, EscapeOrClosingAsksAndEnterTakesThePreselectedLanguage)
{
    // Besides keys: the close box (a WM_CLOSE to the form's window) and
    // Alt+F4.
    const WORD close_box = 0xFFFF, alt_f4 = 0xFFFE;
    // Three languages other than the system's, and one more that is none
    // of them.
    std::vector<uint32_t> others;
    for (uint32_t id = 1; others.size() < 4; ++id)
        if (id != system_language())
            others.push_back(id);
    struct Case {
        const char* what;
        std::vector<WORD> keys;  // one a step
        uint32_t chosen;
        std::vector<uint32_t> offered = {0, 1, 2};
        uint32_t proposed = 2;
    } cases[] = {
        {"Enter", {VK_RETURN}, 2},
        {"Escape, then No, then Enter", {VK_ESCAPE, VK_ESCAPE, VK_RETURN}, 2},
        {"Escape, then Yes", {VK_ESCAPE, VK_RETURN}, language_none},
        {"the close box, then No, then Enter", {close_box, VK_ESCAPE, VK_RETURN}, 2},
        {"the close box, then Yes", {close_box, VK_RETURN}, language_none},
        {"Alt+F4, then No, then Enter", {alt_f4, VK_ESCAPE, VK_RETURN}, 2},
        {"Alt+F4, then Yes", {alt_f4, VK_RETURN}, language_none},
        // A row is selected all the same: the first.
        {"Enter, neither the proposed nor the system's language offered", {VK_RETURN}, others[0],
         {others[0], others[1], others[2]}, others[3]},
    };
    for (const Case& c : cases) {
        uint32_t chosen = 99;
        // A form that the keys left open is closed, so that the run ends.
        auto ended = std::make_shared<bool>(false);
        run_in_application([&]() {
            std::vector<std::function<void()>> steps = {[]() { SetForegroundWindow(GetActiveWindow()); }};
            for (WORD key : c.keys)
                steps.push_back([key]() {
                    if (key == close_box) {
                        PostMessageW(GetActiveWindow(), WM_CLOSE, 0, 0);
                    } else if (key == alt_f4) {
                        send_key(VK_MENU, false);
                        send_key_press(VK_F4);
                        send_key(VK_MENU, true);
                    } else {
                        send_key_press(key);
                    }
                });
            steps.push_back([ended]() {
                if (!*ended)
                    PostMessageW(GetActiveWindow(), WM_CLOSE, 0, 0);
            });
            steps.push_back([ended]() {
                if (!*ended)
                    send_key_press(VK_RETURN);
            });
            cFormWindow::RunSteps(steps, step_gap_ms);
            _typebuf<uint32_t> ids{int32_t(c.offered.size())};
            for (size_t i = 0; i < c.offered.size(); ++i)
                ids[int32_t(i)] = c.offered[i];
            chosen = run_language_selection(ids, nullptr, c.proposed, L"");
            *ended = true;
            return 0;
        });
        EXPECT_EQ(chosen, c.chosen) << c.what;
    }
    _typebuf<uint32_t> one{1};
    one[0] = 3;
    EXPECT_EQ(run_language_selection(one, nullptr, 0, L""), 3u) << "one language: no form";
    EXPECT_EQ(run_language_selection(_typebuf<uint32_t>(), nullptr, 0, L""), language_none);
}

TEST(LanguageForm, TabShowsTheFocusAndTheArrowsWalkTheListFromAnywhere)
{
    // How many pixels of the line show the colour (0x00BBGGRR): a focus
    // cue's dots.
    auto dots = [](int x, int y, int w, uint32_t colour) {
        uint32_t shown = ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
        std::vector<uint32_t> line = window_pixels(GetActiveWindow(), x, y, w, 1);
        return int(std::count_if(line.begin(), line.end(), [shown](uint32_t p) { return (p & 0xFFFFFF) == shown; }));
    };
    // The Start button's line inside its frame, and that of the grid's row.
    auto start_dots = [&]() { return dots(400 - 116 + 3, 330 + 3, 94, 0x655654); };
    auto row_dots = [&](int row) { return dots(15 + 8 + 2, 85 + 10 + 30 * row + 2, 300, theme_colour(4)); };
    struct cSeen {
        int start, row0, row1, row2;
    };
    std::vector<cSeen> seen;
    auto look = [&]() { seen.push_back({start_dots(), row_dots(0), row_dots(1), row_dots(2)}); };
    auto press = [&](WORD key) {
        return [&, key]() {
            look();
            send_key_press(key);
        };
    };
    uint32_t chosen = 99;
    run_in_application([&]() {
        cFormWindow::RunSteps({[]() { SetForegroundWindow(GetActiveWindow()); }, press(VK_TAB), press(VK_DOWN),
                               press(VK_TAB), press(VK_TAB), press(VK_DOWN), press(VK_UP), press(VK_TAB),
                               press(VK_SPACE)},
                              step_gap_ms);
        _typebuf<uint32_t> ids{3};
        ids[0] = 0, ids[1] = 1, ids[2] = 2;
        chosen = run_language_selection(ids, nullptr, 0, L"");
        return 0;
    });
    // Where the focus was before each key: the list's row 0, Start, row 1
    // (Down walked the list from Start), Start, row 1 (Tab came back round
    // to the list), row 2, row 1, Start, whose Space chose row 1.
    const std::vector<std::vector<int>> holders = {{1, 0, 0}, {0, 0, 0}, {0, 1, 0}, {0, 0, 0},
                                                   {0, 1, 0}, {0, 0, 1}, {0, 1, 0}, {0, 0, 0}};
    const std::vector<bool> on_start = {false, true, false, true, false, false, false, true};
    ASSERT_EQ(seen.size(), holders.size());
    for (size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(seen[i].start > 20, on_start[i]) << seen[i].start;
        EXPECT_EQ(seen[i].start == 0, !on_start[i]) << seen[i].start;
        const int rows[3] = {seen[i].row0, seen[i].row1, seen[i].row2};
        for (int row = 0; row < 3; ++row)
            EXPECT_EQ(rows[row] > 50, holders[i][size_t(row)] == 1) << "row " << row << ": " << rows[row];
    }
    EXPECT_EQ(chosen, 1u);
}

TEST(ResponseForm, EachKindShowsItsCaptionIconAndButtons)
{
    struct Case {
        uint32_t kind;
        WORD key;
        const wchar_t* caption;
        uint32_t icon;  // theme image
        bool two_buttons;
        int32_t result;
    } cases[] = {
        {RESPONSE_INFORMATION, VK_RETURN, L"Information", 73, false, 0},
        {RESPONSE_ERROR, VK_RETURN, L"Error", 76, false, 0},
        {RESPONSE_WARNING, VK_RETURN, L"Warning", 75, false, 0},
        {RESPONSE_CONFIRM, VK_RETURN, L"Confirm", 75, true, 1},
        {RESPONSE_CONFIRM, VK_ESCAPE, L"Confirm", 75, true, 0},
    };
    for (const Case& c : cases) {
        std::wstring caption, owner_title;
        bool icon = false, no_button = false;
        int32_t result = -1;
        run_in_application([&]() {
            cFormWindow::RunSteps({
                []() { SetForegroundWindow(GetActiveWindow()); },
                [&]() {
                    HWND message = GetActiveWindow();
                    caption = title_of(message);
                    owner_title = title_of(GetWindow(message, GW_OWNER));
                    icon = shows_image(message, get_theme()->GetImage(c.icon));
                    no_button = shows_image(message, get_theme()->GetImage(78));
                    send_key_press(c.key);
                },
            }, step_gap_ms);
            result = run_message_form(c.kind, L"Something happened.");
            return 0;
        });
        EXPECT_EQ(caption, c.caption) << c.kind;
        EXPECT_EQ(owner_title, L"Pelmaro") << "the waiting form";
        EXPECT_TRUE(icon) << c.kind;
        EXPECT_EQ(no_button, c.two_buttons) << c.kind;
        EXPECT_EQ(result, c.result) << c.kind;
    }
    int32_t unknown = -1;
    run_in_application([&]() {
        unknown = run_message_form(9, L"nothing to show");
        return 0;
    });
    EXPECT_EQ(unknown, 0) << "an unknown kind ends at once";
}
