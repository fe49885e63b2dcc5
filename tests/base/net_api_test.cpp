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
