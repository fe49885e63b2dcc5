#include "base/location_text.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

std::wstring drive_text(uint32_t type, wchar_t letter, const wchar_t* label, uint64_t bytes)
{
    wchar_t out[256];
    location_drive_text(out, 256, type, letter, label, bytes);
    return out;
}

std::wstring remembered_text(const wchar_t* local, const wchar_t* label, uint64_t bytes, const wchar_t* remote,
                             bool online)
{
    wchar_t out[256];
    location_remembered_text(out, 256, local, label, bytes, remote, online);
    return out;
}

}  // namespace

TEST(LocationText, SizesAreWholeHundredthsOfAGigabyte)
{
    struct Row {
        uint64_t bytes;
        const wchar_t* shown;
    };
    // A hundredth is 10,737,418 bytes; fractions of it are cut, never
    // rounded up.
    const Row rows[] = {
        {500107862016ull, L"465.76"},
        {1073741824ull, L"1.00"},
        {10737418ull * 5 - 1, L"0.04"},
        {10737418ull * 5, L"0.05"},
        {10737417ull, L"0.00"},
        {0, L"0.00"},
        {4000787030016ull, L"3726.02"},
    };
    for (const Row& row : rows) {
        wchar_t out[64];
        location_drive_text(out, 64, DRIVE_FIXED, L'C', nullptr, row.bytes);
        EXPECT_EQ(std::wstring(out), std::wstring(L"Fixed disk C: (") + row.shown + L"GB)") << row.bytes;
    }
}

TEST(LocationText, DrivesByType)
{
    struct Row {
        uint32_t type;
        const wchar_t* label;
        const wchar_t* text;
    };
    const uint64_t bytes = 500107862016ull;
    const Row rows[] = {
        {DRIVE_FIXED, L"Data", L"Data (C:, 465.76GB fixed drive)"},
        {DRIVE_FIXED, L"", L"Fixed disk C: (465.76GB)"},
        {DRIVE_REMOTE, L"Share", L"Share (C:, 465.76GB network drive)"},
        {DRIVE_REMOTE, nullptr, L"Network disk C: (465.76GB)"},
        {DRIVE_CDROM, L"Disc", L"CD/DVD drive C:"},
        {DRIVE_RAMDISK, nullptr, L"RAM drive C:"},
        {DRIVE_REMOVABLE, L"Stick", L"Disk C:"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(drive_text(row.type, L'C', row.label, bytes), row.text) << row.type;
}

TEST(LocationText, RememberedNetworkDrives)
{
    const uint64_t bytes = 1073741824ull * 3;
    EXPECT_EQ(remembered_text(L"Z:", L"Team", bytes, L"\\\\srv\\team", true), L"Team (Z:, 3.00GB on \\\\srv\\team)");
    EXPECT_EQ(remembered_text(L"Z:", nullptr, bytes, L"\\\\srv\\team", true), L"Z: (3.00GB on \\\\srv\\team)");
    EXPECT_EQ(remembered_text(L"Z:", L"Team", bytes, L"\\\\srv\\team", false), L"Team (Z: on \\\\srv\\team - Offline)");
    EXPECT_EQ(remembered_text(L"Z:", L"", 0, L"\\\\srv\\team", false), L"Z: (\\\\srv\\team - Offline)");
}

TEST(LocationText, LongTextIsCutAndTerminated)
{
    wchar_t out[12];
    EXPECT_EQ(location_drive_text(out, 12, DRIVE_FIXED, L'C', L"A very long label", 1), -1);
    EXPECT_STREQ(out, L"A very long");
}
