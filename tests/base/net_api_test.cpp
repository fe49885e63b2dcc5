#include "base/net_api.h"

#include <gtest/gtest.h>

TEST(NetApi, ReconnectsOnlyRememberedDrives)
{
    // A letter that names nothing is no remembered network drive.
    wchar_t letter = 0;
    for (wchar_t candidate = L'Z'; candidate >= L'D' && !letter; --candidate) {
        wchar_t root[4] = {candidate, L':', L'\\', 0};
        if (GetDriveTypeW(root) == DRIVE_NO_ROOT_DIR)
            letter = candidate;
    }
    ASSERT_NE(letter, 0);
    EXPECT_FALSE(net_reconnect_drive(letter));
    wchar_t root[4] = {letter, L':', L'\\', 0};
    EXPECT_EQ(GetDriveTypeW(root), UINT(DRIVE_NO_ROOT_DIR));
}
