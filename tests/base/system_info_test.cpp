#include "base/system_info.h"

#include <gtest/gtest.h>
#include <windows.h>

TEST(SystemInfo, MajorVersionIsTheKernelsOwn)
{
    // The kernel keeps its version in the page it shares with every process.
    const volatile ULONG* shared_major = reinterpret_cast<const volatile ULONG*>(0x7FFE0000 + 0x26C);
    uint32_t major = os_major_version();
    EXPECT_EQ(major, *shared_major);
    EXPECT_GE(major, 5u);
    EXPECT_EQ(os_major_version(), major);
    EXPECT_EQ(os_is_win10_or_later(), major >= 10);
}

TEST(SystemInfo, Wow64MatchesTheNativeArchitecture)
{
    // A 32-bit process runs under WOW64 exactly when the machine is not x86.
    SYSTEM_INFO native;
    GetNativeSystemInfo(&native);
    EXPECT_EQ(os_is_wow64(), native.wProcessorArchitecture != PROCESSOR_ARCHITECTURE_INTEL);
}
