// Tooltips in a real dialog: the real mouse over an element with a hint
// text and over a picture's hint zone; the tooltip window's place and size
// checked against text extents that Windows measures, its pixels read back.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gui/controls/picture_element.h"
#include "gui/controls/static_element.h"
#include "gui/font.h"
#include "gui/theme.h"
#include "tests/gui/controls/form_window.h"

namespace {

const wchar_t label_hint[] = L"Short\nA much wider second line";
const wchar_t zone_hint[] = L"Zone hint";
const cRectEdges hint_zone = {10, 10, 29, 19};

class cHintForm : public cScriptForm {
public:
    cHintForm(cFormWindow& runner) : cScriptForm(runner, codes) {}

    void OnCreate() override
    {
        cScriptForm::OnCreate();
        GetClientPanel()->AddChild(&label, 20, 20, 100, 22);
        GetClientPanel()->AddChild(&picture, 150, 20, 60, 40);
        label.SetText(L"Hover me", -1, false);
        label.SetHintText(label_hint);
        picture.SetHintZone(1, hint_zone, zone_hint);
    }

    cStaticElement label;
    cPictureElement picture;

protected:
    bool Logs(cChildElement*) override { return false; }

private:
    std::vector<uint32_t> codes;
};

BOOL CALLBACK find_tooltip(HWND window, LPARAM found)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (IsWindowVisible(window) && wcsncmp(name, L"cGUIWndClass::", 14) == 0)
        *reinterpret_cast<HWND*>(found) = window;
    return TRUE;
}

// The thread's visible top-level window of a framework class: the form's
// own window is a dialog with the framework's window inside it.
HWND open_tooltip()
{
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), find_tooltip, LPARAM(&found));
    return found;
}

// The tooltip's expected screen rectangle: the widest line + 8 by the line
// height times the lines + 4, each line measured by Windows in the owner's
// font.
RECT expected_rect(cChildElement* owner, POINT at, const std::wstring& text)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, static_cast<cWinFont*>(owner->GetDefaultFont())->GetHandle());
    LONG widest = 0, tallest = 0, lines = 0;
    size_t start = 0;
    for (;;) {
        size_t end = text.find(L'\n', start);
        std::wstring line = text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        SIZE extent = {};
        GetTextExtentPoint32W(dc, line.c_str(), int(line.size()), &extent);
        widest = std::max(widest, extent.cx);
        tallest = std::max(tallest, extent.cy);
        ++lines;
        if (end == std::wstring::npos)
            break;
        start = end + 1;
    }
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return RECT{at.x, at.y, at.x + widest + 8, at.y + tallest * lines + 4};
}

// What one tooltip window showed: its rectangle, its corner and inner
// pixels, and how many pixels have the text colour.
struct cTooltipReading {
    bool open = false;
    RECT rect = {};
    COLORREF corner = 0;
    COLORREF inside = 0;
    int text_pixels = 0;
};

cTooltipReading read_tooltip()
{
    cTooltipReading reading;
    HWND tooltip = open_tooltip();
    if (!tooltip)
        return reading;
    reading.open = true;
    GetWindowRect(tooltip, &reading.rect);
    int w = reading.rect.right - reading.rect.left, h = reading.rect.bottom - reading.rect.top;
    HDC window_dc = GetDC(tooltip);
    HDC memory_dc = CreateCompatibleDC(window_dc);
    HBITMAP bitmap = CreateCompatibleBitmap(window_dc, w, h);
    HGDIOBJ old = SelectObject(memory_dc, bitmap);
    BitBlt(memory_dc, 0, 0, w, h, window_dc, 0, 0, SRCCOPY);
    SelectObject(memory_dc, old);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(info.bmiHeader), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<uint32_t> pixels(size_t(w) * size_t(h));
    GetDIBits(memory_dc, bitmap, 0, UINT(h), pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory_dc);
    ReleaseDC(tooltip, window_dc);
    // DIB pixels are 0x00RRGGBB.
    reading.corner = cFormWindow::swap_red_blue(pixels[0]);
    reading.inside = cFormWindow::swap_red_blue(pixels[size_t(w) + 1]);
    for (uint32_t pixel : pixels)
        reading.text_pixels += cFormWindow::swap_red_blue(pixel) == theme_colour(13);
    return reading;
}

TEST(Tooltip, HoveringOpensAPopupSizedFromTheMeasuredTextAndLeavingClosesIt)
{
    struct cHover {
        const char* name;
        bool over_label;  // else over the picture
        POINT point;      // in the element
        bool opens;
    };
    const cHover hovers[] = {
        {"over the element with a hint text", true, {10, 11}, true},
        {"over the picture outside its zone", false, {50, 35}, false},
        {"into the hint zone", false, {15, 15}, true},
        {"on the zone's inclusive corner", false, {29, 19}, true},
        {"out of the zone, still on the picture", false, {35, 19}, false},
        {"back onto the element", true, {50, 5}, true},
        {"onto the panel", true, {50, -10}, false},
    };
    cFormWindow window;
    cHintForm* form = new cHintForm(window);
    std::vector<cTooltipReading> readings(std::size(hovers));
    std::vector<RECT> expected(std::size(hovers));
    std::vector<cFormWindow::cStep> steps;
    for (size_t i = 0; i < std::size(hovers); ++i) {
        const cHover& hover = hovers[i];
        steps.push_back([form, &hover]() {
            cChildElement* element = hover.over_label ? static_cast<cChildElement*>(&form->label) : &form->picture;
            cFormWindow::MoveTo(element, hover.point.x, hover.point.y);
        });
        steps.push_back([&, form, i]() {
            readings[i] = read_tooltip();
            if (hovers[i].over_label) {
                POINT at = cFormWindow::ScreenPoint(&form->label, 2, form->label.GetHeight() + 2);
                expected[i] = expected_rect(&form->label, at, label_hint);
            } else {
                POINT at = cFormWindow::ScreenPoint(&form->picture, hint_zone.left + 2, hint_zone.bottom + 2);
                expected[i] = expected_rect(&form->picture, at, zone_hint);
            }
        });
    }
    EXPECT_EQ(window.Run(form, 260, 140, steps), 1);
    for (size_t i = 0; i < std::size(hovers); ++i) {
        const cTooltipReading& reading = readings[i];
        EXPECT_EQ(reading.open, hovers[i].opens) << hovers[i].name;
        if (!reading.open || !hovers[i].opens)
            continue;
        EXPECT_EQ(reading.rect.left, expected[i].left) << hovers[i].name;
        EXPECT_EQ(reading.rect.top, expected[i].top) << hovers[i].name;
        EXPECT_EQ(reading.rect.right, expected[i].right) << hovers[i].name;
        EXPECT_EQ(reading.rect.bottom, expected[i].bottom) << hovers[i].name;
        EXPECT_EQ(reading.corner, theme_colour(12)) << hovers[i].name;
        EXPECT_EQ(reading.inside, theme_colour(11)) << hovers[i].name;
        EXPECT_GT(reading.text_pixels, 0) << hovers[i].name;
    }
}

}  // namespace
