// The uninstall mode's entry.
#include <gtest/gtest.h>

#include "tools/install/uninstall_mode.h"

TEST(UninstallMode, WithoutCodeNameEndsWithOneAndShowsNothing)
{
    EXPECT_EQ(run_uninstall_mode(L"", nullptr), 1u);
    EXPECT_EQ(run_uninstall_mode(nullptr, nullptr), 1u);
}
