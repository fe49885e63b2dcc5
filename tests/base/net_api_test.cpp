#include "base/net_api.h"

#include <gtest/gtest.h>

TEST(NetApi, LoadsTheFiveFunctionsOfMpr)
{
    ASSERT_TRUE(net_api_load());
    HMODULE mpr = GetModuleHandleW(L"mpr.dll");
    ASSERT_NE(mpr, nullptr);  // stays loaded
    const cNetApi& api = net_api();
    EXPECT_EQ(reinterpret_cast<void*>(api.OpenEnum), reinterpret_cast<void*>(GetProcAddress(mpr, "WNetOpenEnumW")));
    EXPECT_EQ(reinterpret_cast<void*>(api.EnumResource),
              reinterpret_cast<void*>(GetProcAddress(mpr, "WNetEnumResourceW")));
    EXPECT_EQ(reinterpret_cast<void*>(api.CloseEnum), reinterpret_cast<void*>(GetProcAddress(mpr, "WNetCloseEnum")));
    EXPECT_EQ(reinterpret_cast<void*>(api.AddConnection2),
              reinterpret_cast<void*>(GetProcAddress(mpr, "WNetAddConnection2W")));
    EXPECT_EQ(reinterpret_cast<void*>(api.GetConnection),
              reinterpret_cast<void*>(GetProcAddress(mpr, "WNetGetConnectionW")));
    EXPECT_TRUE(net_api_load());
}

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
