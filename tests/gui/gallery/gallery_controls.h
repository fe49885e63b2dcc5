#ifndef TESTS_GUI_GALLERY_GALLERY_CONTROLS_H
#define TESTS_GUI_GALLERY_GALLERY_CONTROLS_H

#include <string>

#include "gui/canvas.h"
#include "gui/controls/button.h"
#include "gui/controls/check_box.h"
#include "gui/controls/panel.h"
#include "gui/controls/progress_child.h"
#include "gui/controls/scrollable_element.h"
#include "gui/controls/static_element.h"
#include "gui/controls/toolbar.h"
#include "gui/image_cache.h"
#include "gui/theme.h"
#include "gui/ui_font.h"

// Numbered lines of text on white, for a view with both scroll bars.
class cGalleryLines : public cScrollableElement {
public:
    static const int32_t line_height = 18;

    void PaintContent(cCanvas* canvas) override
    {
        cRect all{0, 0, GetWidth(), GetHeight()};
        canvas->FillRect(&all, 0xFFFFFF, 0xFFFFFF);
        canvas->SelectFont(GetDefaultFont());
        canvas->SetTextColours(theme_colour(4), 0xFFFFFF);
        for (int32_t line = GetScrollOffsetY() / line_height; line * line_height - GetScrollOffsetY() < GetHeight();
             ++line) {
            std::wstring text = L"Line " + std::to_wstring(line + 1) + L" of a text wider than its view";
            canvas->DrawTextColoured(6 - GetScrollOffsetX(), line * line_height - GetScrollOffsetY() + 2, true,
                                     text.c_str(), -1);
        }
    }
};

// The controls of the framework in their usual states, on a panel of
// their own.
class cGalleryControls : public cPanelChild {
public:
    static const int32_t width_needed = 240;
    static const int32_t height_needed = 470;

    void OnCreate() override
    {
        SetFrameColour(theme_colour(25));
        SetBackgroundColour(0xFFFFFF);
        AddChild(&heading, 10, 8, 220, 20);
        AddChild(&apply, 10, 34, 105, 26);
        AddChild(&disabled, 125, 34, 105, 26);
        AddChild(&flat, 10, 66, 105, 26);
        AddChild(&checked, 10, 100, 220, 20);
        AddChild(&unchecked, 10, 122, 220, 20);
        AddChild(&status, 10, 148, 220, 20);
        AddChild(&wrapped, 10, 170, 220, 52);
        AddChild(&link, 10, 226, 220, 20);
        AddChild(&lines, 10, 254, 220, 120);
        AddChild(&bar, 10, 384, 220, 14);
        AddChild(&caption, 10, 408, 220, 52);

        heading.SetFont(GetFont(6, 14, get_ui_font_face_name(), true, false, false));
        heading.SetText(L"Controls", -1, false);
        heading.SetColours(theme_colour(4), 0xFFFFFF, 0xFFFFFF);
        for (cButtonChild* button : {&apply, &disabled, &flat})
            button->SetTextAlignment(1, false);
        apply.SetCaption(L"Apply");
        disabled.SetCaption(L"Disabled");
        disabled.Hide(false);
        flat.SetCaption(L"Flat");
        flat.SetFrameStyle(6, false);
        flat.SetBackgroundColour(theme_colour(18), false);
        checked.SetText(L"A checked box", -1, false);
        checked.SetChecked(true, false);
        unchecked.SetText(L"An unchecked box", -1, false);
        status.SetText(L"A status line much too long to fit in the box it has", -1, false);
        status.SetIcon(theme_image(14), false);
        wrapped.SetTextMode(2);
        wrapped.SetText(L"Wrapped text runs over as many lines as its box allows.", -1, false);
        link.SetText(L"A link to the web site", -1, false);
        lines.SetContentWidth(420);
        lines.SetContentHeight(40 * cGalleryLines::line_height);
        lines.SetScrollSteps(10, cGalleryLines::line_height);
        bar.SetRange(100);
        bar.SetPosition(30);
        caption.SetText(L"A panel's caption", -1, false);
        caption.SetFrameColour(theme_colour(25));
    }

private:
    cStaticElement heading;
    cButtonChild apply;
    cButtonChild disabled;
    cButtonChild flat;
    cCheckBoxChild checked;
    cCheckBoxChild unchecked;
    cStaticElement status;
    cStaticElement wrapped;
    cLinkElement link;
    cGalleryLines lines;
    cHScroll bar;
    cPanelChild caption;
};

// A toolbar whose last buttons do not fit and wait behind its more button,
// and a progress bar that climbs to two thirds once shown.
class cGalleryBars : public cPanelChild {
public:
    static const int32_t height_needed = 54;

    void OnCreate() override
    {
        SetFrameColour(0xFFFFFFFF);
        images.Put(0, theme_image(77));
        images.Put(1, theme_image(78));
        AddChild(&tools, 0, 0, -1, 26);
        AddChild(&progress, 0, 36, -1, 18);
        tools.SetStateImageCache(0, &images);
        tools.SetOverflowMode(cToolBarChild::overflow_cut_end);
        const wchar_t* const captions[] = {L"Install", L"Update",   L"Details", L"Uninstall", L"Check for updates",
                                           L"Language", L"Options", L"Help",    L"About"};
        for (int32_t i = 0; i < 9; ++i)
            tools.SetButton(i + 1, captions[i], i < 2 ? i : -1);
        progress.SetRange(90);
        progress.SetPosition(60, false);
    }

private:
    cImageCache images;
    cToolBarChild tools;
    cProgressChild progress;
};

#endif
