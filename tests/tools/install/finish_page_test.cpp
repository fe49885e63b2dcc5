// The finish page on the virtual screen, in the program's English texts:
// what it tells of an installation that failed, whole on the page, and
// the way out it suggests, which must be one the user has.
#include "tools/install/finish_page.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "gui/catalog.h"
#include "tests/gui/controls/form_window.h"
#include "tests/support/artifacts.h"
#include "tests/tools/install/finish_form.h"
#include "tools/install/install_context.h"
#include "tools/install/install_mode.h"
#include "tools/package/package_queries.h"
#include "tools/shell/app_language.h"
#include "tools/shell/catalog_text.h"

namespace {

const uint32_t error_colour = 0x4040A0;  // as the page paints it, 0x00BBGGRR

// Pixels of the message's text colour, or close to it at the edges of
// its letters.
int red_pixels(const std::vector<uint32_t>& pixels)
{
    int count = 0;
    for (uint32_t pixel : pixels) {
        int distance = 0;
        for (int shift : {0, 8, 16})
            distance += abs(int((pixel >> shift) & 0xFF) - int((error_colour >> shift) & 0xFF));
        count += distance < 40;
    }
    return count;
}

}  // namespace

TEST(FinishPage, AnObjectInTheWayIsNamedWithAWayOutTheUserHas)
{
    application_language_provider();
    ASSERT_TRUE(apply_language(language_english));
    // Long enough to take two lines of its own.
    const std::wstring object =
        L"C:/Program Files/Road Test/data/nested/deep/a folder with a long name/and another one/blob.bin.tmp";
    // As written, but that its blanks may not end a line: a line breaks it
    // only after a separator.
    std::wstring shown = object;
    for (wchar_t& c : shown)
        c = c == L'/' ? L'\\' : c == L' ' ? L'\u00A0' : c;
    auto filled = [](const wchar_t* format, const std::wstring& inserted) {
        std::wstring text = format ? format : L"";
        text.replace(text.find(L"%s"), 2, inserted);
        return text;
    };
    const std::wstring not_installed = section_text(L"pkgm::fin", 18), with_error = section_text(L"pkgm::fin", 1);
    struct FinishCase {
        const char* what;
        uint32_t status;
        bool folder_choosable;
        bool names_the_object;
        bool suggests_another_folder;
        // The install folder; another one leaves the object in a folder
        // that the package names itself.
        const wchar_t* folder = L"C:/Program Files/Road Test";
        // The whole message and its header, where given.
        std::wstring words = L"";
        std::wstring header = L"";
    } cases[] = {
        // Nothing was installed: the store's side file in the way, told of
        // as the common store's.
        {"a journal not saved", INSTALL_STATUS_JOURNAL_NOT_SAVED, true, true, false, L"C:/Program Files/Road Test",
         filled(section_text(L"pkgm::fin", 16), filled(section_text(L"pkgm::store", 1), shown)), not_installed},
        {"no manager shortcut", INSTALL_STATUS_NO_MANAGER_SHORTCUT, true, true, false, L"C:/Program Files/Road Test",
         filled(section_text(L"pkgm::fin", 17), shown), with_error},
        // Nothing was installed either: the manager's place is named.
        {"no manager", INSTALL_STATUS_NO_MANAGER, true, true, false, L"C:/Program Files/Road Test",
         filled(section_text(L"pkgm::fin", 19), shown), not_installed},
        {"an object in the way of a first installation", INSTALL_STATUS_OBJECT_IN_THE_WAY, true, true, true},
        {"an object in the way of an update", INSTALL_STATUS_OBJECT_IN_THE_WAY, false, true, false},
        {"an object in the way in the package's folder", INSTALL_STATUS_OBJECT_IN_THE_WAY, true, true, false, L"C:/A"},
        {"a folder of a first installation not made", INSTALL_STATUS_BAD_PATH, true, true, true},
        {"a folder of an update not made", INSTALL_STATUS_BAD_PATH, false, true, false},
        {"a folder the package names not made", INSTALL_STATUS_BAD_PATH, true, true, false, L"C:/A"},
        {"a file in use", INSTALL_STATUS_FILE_IN_USE, false, true, false},
        {"aborted", INSTALL_STATUS_ABORTED, true, false, false},
    };
    for (const FinishCase& c : cases) {
        cInstallContext context(L"C:/setup.exe", L"C:/setup.exe", 0);
        ASSERT_TRUE(set_pgm_folder(context.package.strings, c.folder));
        context.status = c.status;
        context.error_path.Assign(object.c_str());
        context.store_fault.Set(CFG_FAULT_PLACE, object.c_str());
        context.store_fault.common = true;
        std::wstring message, header;
        int red_below_the_first_lines = -1;
        cFormWindow window;
        window.maker.SetCatalog(get_global_catalog());
        cFinishForm* form = new cFinishForm(window);
        window.Run(form, 430, 320,
                   {
                       [&]() { form->page.Prepare(context, c.folder_choosable); },
                       [&]() {
                           message = form->page.MessageText() ? form->page.MessageText() : L"";
                           header = form->page.HeaderText() ? form->page.HeaderText() : L"";
                           // The message area starts 40 pixels down; its
                           // first 60 rows held the whole message before.
                           red_below_the_first_lines = red_pixels(cFormWindow::Pixels(&form->page, 10, 100, 389, 180));
                           std::vector<uint32_t> page = cFormWindow::Pixels(&form->page, 0, 0, 410, 290);
                           std::string png = png_of(410, 290, page);
                           keep_artifact((std::string("finish_page_") + std::to_string(c.status) +
                                          (c.folder_choosable ? "_choosable" : "_fixed") + ".png")
                                             .c_str(),
                                         png.data(), png.size());
                       },
                   });
        EXPECT_EQ(message.find(shown) != std::wstring::npos, c.names_the_object) << c.what;
        if (!c.words.empty()) {
            EXPECT_EQ(message, c.words) << c.what;
            EXPECT_EQ(header, c.header) << c.what;
        }
        EXPECT_EQ(message.find(L"another folder") != std::wstring::npos, c.suggests_another_folder) << c.what;
        if (c.status == INSTALL_STATUS_OBJECT_IN_THE_WAY) {
            EXPECT_NE(message.find(L"Remove or rename it and run this installer again"), std::wstring::npos) << c.what;
            EXPECT_GT(red_below_the_first_lines, 0) << c.what << ": the message's last lines show";
        }
    }
}
