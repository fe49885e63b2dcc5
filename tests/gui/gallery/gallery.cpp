// A test-only gallery of the GUI: a form with every built-in theme image
// painted, the framework's texts in English and in Russian, the controls in
// their usual states, a toolbar and a progress bar, lists, a tree, a
// property area and a picture, and a row of focusable chips with the
// keyboard focus on one of them. Run through the real application runner
// and window maker. Handshake with the test driver through the folder named on the
// command line: once the window runs, the gallery writes "ready.txt" (the
// screen rectangle of its client area); the driver screenshots it and
// creates "end.flag"; a watcher thread then posts an action that ends the
// run with the result 7, which becomes the exit code.

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "gui/application.h"
#include "gui/canvas.h"
#include "gui/catalog.h"
#include "gui/child_element.h"
#include "gui/controls/custom_form.h"
#include "gui/language.h"
#include "gui/theme.h"
#include "gui/ui_font.h"
#include "gui/window_maker.h"
#include "tests/gui/gallery/gallery_controls.h"
#include "tests/gui/gallery/gallery_inputs.h"
#include "tests/gui/gallery/gallery_lists.h"
#include "tests/gui/gallery/gallery_views.h"

namespace {

const int32_t gallery_width = 1110;
const int32_t gallery_height = 900;
const uint32_t end_code = 100;
const intptr_t end_result = 7;
const uint32_t text_colour = 0x404040;
const int32_t message_count = 7;

// Every built-in image at its own size, one per cell.
class cImageGrid : public cChildElement {
public:
    static const int32_t cell = 30;
    static const int32_t columns = 14;

    void Paint(cCanvas* canvas) override
    {
        cRect all{0, 0, width, height};
        canvas->FillRect(&all, 0xFFFFFF, theme_colour(25));
        for (uint32_t i = 0; i < theme_image_count; ++i) {
            int32_t cx = 1 + int32_t(i % columns) * cell;
            int32_t cy = 1 + int32_t(i / columns) * cell;
            cImageBuffer* image = theme_image(i);
            if (!image)
                continue;
            cPoint at{cx + (cell - image->GetWidth()) / 2, cy + (cell - image->GetHeight()) / 2};
            canvas->DrawImageScaled(&at, image, nullptr);
        }
    }
};

// A column of texts under a heading, wrapped in the element's width: the
// given texts, or with none given, the strings of the element's own catalog
// section in the current language.
class cTextColumn : public cChildElement {
public:
    cTextColumn(std::wstring column_heading, std::vector<std::wstring> column_texts)
        : heading(std::move(column_heading)), texts(std::move(column_texts))
    {
    }

    const wchar_t* GetStringSection() override { return texts.empty() ? L"ciom::messages" : nullptr; }

    void Paint(cCanvas* canvas) override
    {
        cRect all{0, 0, width, height};
        canvas->FillRect(&all, 0xFFFFFF, theme_colour(25));
        canvas->SelectFontBy(6, 14, get_ui_font_face_name(), true, false, false);
        canvas->SetTextColours(text_colour, 0xFFFFFF);
        canvas->DrawTextLine(0, 4, width, 18, 0, true, 8, 8, heading.c_str(), -1, nullptr, false);
        canvas->SelectFont(GetDefaultFont());
        int32_t top = 26;
        for (int32_t id = 0; id < message_count; ++id) {
            const wchar_t* text = texts.empty() ? LookupString(id) : texts[id].c_str();
            cSize used{0, 0};
            canvas->DrawTextWrapped(8, top, width - 16, height - top, 0, text ? text : L"(missing)", &used, true,
                                    0.0);
            top += used.height + 4;
        }
    }

private:
    std::wstring heading;
    std::vector<std::wstring> texts;
};

// A focusable chip that shows the focus with an accent frame.
class cChip : public cChildElement {
public:
    explicit cChip(const wchar_t* label) { SetText(label, -1, false); }

    bool DefaultTabStop() override { return true; }
    void OnFocusChange(bool, bool) override { Redraw(nullptr); }
    void OnFocusLost(bool, bool) override { Redraw(nullptr); }

    void Paint(cCanvas* canvas) override
    {
        cRect all{0, 0, width, height};
        bool focused = HasFocus();
        canvas->FillRect(&all, focused ? theme_colour(24) : theme_colour(18),
                         focused ? theme_colour(16) : theme_colour(25));
        if (focused) {
            cRect inner{1, 1, width - 2, height - 2};
            canvas->FillRect(&inner, theme_colour(24), theme_colour(16));
        }
        canvas->SelectFont(GetDefaultFont());
        canvas->SetTextColours(text_colour, 0xFFFFFF);
        canvas->DrawTextLine(0, 0, width, height, 1, true, 4, 4, GetTextPtr(), -1, nullptr, false);
    }
};

std::wstring handshake_folder;
std::mutex root_lock;
cChildElement* live_root = nullptr;

// The dialog's root: a form with the gallery's title in its top band.
class cGalleryRoot : public cCustomForm {
public:
    explicit cGalleryRoot(std::vector<std::wstring> english)
        : english_column(L"English", std::move(english)), russian_column(L"Русский", {}),
          first_chip(get_language_name(0)), second_chip(get_language_name(1)), third_chip(get_language_name(2))
    {
        std::lock_guard<std::mutex> hold(root_lock);
        live_root = this;
    }

    ~cGalleryRoot() override
    {
        std::lock_guard<std::mutex> hold(root_lock);
        live_root = nullptr;
    }

    bool DefaultBackBuffer() override { return true; }

    void OnCreate() override
    {
        cCustomForm::OnCreate();
        // Placed in the client panel, which starts at (5, 30).
        cPanelChild* panel = GetClientPanel();
        panel->AddChild(&grid, 11, 10, cImageGrid::columns * cImageGrid::cell + 2, 12 * cImageGrid::cell + 2);
        panel->AddChild(&english_column, 447, 10, 190, 380);
        panel->AddChild(&russian_column, 647, 10, 190, 380);
        panel->AddChild(&controls, 847, 10, cGalleryControls::width_needed, cGalleryControls::height_needed);
        panel->AddChild(&bars, 11, 382, cImageGrid::columns * cImageGrid::cell + 2, cGalleryBars::height_needed);
        panel->AddChild(&lists, 11, 446, cGalleryLists::width_needed, cGalleryLists::height_needed);
        panel->AddChild(&views, 11, 606, cGalleryViews::width_needed, cGalleryViews::height_needed);
        panel->AddChild(&inputs, 447, -31 - cGalleryInputs::height_needed + 26, cGalleryInputs::width_needed,
                        cGalleryInputs::height_needed);
        panel->AddChild(&first_chip, 11, -31, 110, 26);
        panel->AddChild(&second_chip, 131, -31, 110, 26);
        panel->AddChild(&third_chip, 251, -31, 110, 26);
        // Through the queue, as controls take the focus, so that it lands
        // after the window itself has the keyboard.
        second_chip.TakeFocus();
    }

    bool OnStarted() override
    {
        ReportReady();
        return true;
    }

    bool HandleAction(cChildElement* sender, cChildAction* action) override
    {
        if (sender == this && action->code == end_code) {
            EndModal(end_result);
            return true;
        }
        return cCustomForm::HandleAction(sender, action);
    }

    void Paint(cCanvas* canvas) override
    {
        cCustomForm::Paint(canvas);
        canvas->SelectFontBy(6, 14, get_ui_font_face_name(), true, false, false);
        canvas->SetTextColours(text_colour, theme_colour(1));
        canvas->DrawTextLine(0, 0, width, theme_metric(0), 0, true, 12, 12, L"GUI gallery", -1, nullptr, false);
    }

private:
    void ReportReady()
    {
        cPoint origin{0, 0};
        if (!GetScreenPosition(&origin))
            return;
        std::string line = std::to_string(origin.x) + " " + std::to_string(origin.y) + " " +
                           std::to_string(width) + " " + std::to_string(height) + "\n";
        HANDLE file = CreateFileW((handshake_folder + L"\\ready.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return;
        DWORD written = 0;
        WriteFile(file, line.data(), DWORD(line.size()), &written, nullptr);
        CloseHandle(file);
    }

    cImageGrid grid;
    cTextColumn english_column;
    cTextColumn russian_column;
    cGalleryControls controls;
    cGalleryInputs inputs;
    cGalleryBars bars;
    cGalleryLists lists;
    cGalleryViews views;
    cChip first_chip;
    cChip second_chip;
    cChip third_chip;
};

// Copies of the framework's message texts in the language.
std::vector<std::wstring> message_texts(uint32_t language)
{
    set_language(language);
    const cStringArray* messages = catalog_find_section(get_global_catalog(), L"ciom::messages");
    std::vector<std::wstring> texts;
    for (int32_t id = 0; id < message_count; ++id) {
        const wchar_t* text = get_catalog_string(messages, id);
        texts.push_back(text ? text : L"(missing)");
    }
    return texts;
}

class cGalleryApp : public cCIApplication {
public:
    cGalleryApp() = default;

    int32_t Run() override
    {
        cWindowMaker* maker = GetWindowMaker();
        std::vector<std::wstring> english = message_texts(0);
        // The Russian column reads its section live from the catalog.
        set_language(1);
        std::atomic<bool> finished(false);
        std::thread watcher([this, &finished] { WatchFlag(finished); });
        intptr_t result = maker->RunDialog(L"Pelmaro GUI gallery", gallery_width, gallery_height,
                                           new cGalleryRoot(english), nullptr, false);
        finished = true;
        watcher.join();
        return int32_t(result);
    }

private:
    void WatchFlag(std::atomic<bool>& finished)
    {
        while (!finished) {
            if (GetFileAttributesW((handshake_folder + L"\\end.flag").c_str()) != INVALID_FILE_ATTRIBUTES) {
                std::lock_guard<std::mutex> hold(root_lock);
                if (live_root)
                    live_root->PostAction(new cChildElement::cChildAction(end_code));
                return;
            }
            Sleep(50);
        }
    }
};

}  // namespace

int main()
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2)
        return 2;
    handshake_folder = argv[1];
    return run_application(new cGalleryApp, GetModuleHandleW(nullptr), 0, 101, argc, argv, nullptr,
                           L"qrv");
}
