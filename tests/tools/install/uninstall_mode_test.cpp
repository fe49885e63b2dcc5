// The entries of the uninstall and remove modes without the forms' texts or
// a window to run on: nothing is shown, and neither reports success.
#include <gtest/gtest.h>

#include "gui/child_element.h"
#include "gui/language.h"
#include "tests/support/heap_probe.h"
#include "tools/install/remove_mode.h"
#include "tools/install/uninstall_mode.h"
#include "tools/shell/app_language.h"

TEST(UninstallMode, WithoutCodeNameEndsWithOneAndShowsNothing)
{
    EXPECT_EQ(run_uninstall_mode(L"", nullptr), 1u);
    EXPECT_EQ(run_uninstall_mode(nullptr, nullptr), 1u);
}

TEST(UninstallMode, WithoutItsTextsOrAWindowNothingRunsAndNothingSucceeds)
{
    cChildElement windowless;
    // No catalog yet, then the program's texts but no application and no
    // window: the forms are made and destroyed unrun.
    for (bool texts : {false, true}) {
        SCOPED_TRACE(texts);
        if (texts) {
            static cCIOMLang framework;
            application_language_provider();
            ASSERT_TRUE(set_language(0));
        }
        cHeapBalance heap;  // nothing is left behind
        EXPECT_EQ(run_uninstall_mode(L"product", nullptr), 1u);
        EXPECT_EQ(run_uninstall_mode(L"product", &windowless), 1u);
        EXPECT_FALSE(run_remove_mode(L"C:/nowhere/pelmarodesk.exe", nullptr));
        EXPECT_FALSE(run_remove_mode(L"C:/nowhere/pelmarodesk.exe", &windowless));
    }
}
