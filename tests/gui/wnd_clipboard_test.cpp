#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <thread>
#include <vector>

#include "gui/clipboard.h"
#include "gui/window_class.h"
#include "gui/wnd_lite.h"

namespace {

class ClipboardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(register_window_class(nullptr, nullptr));
        ASSERT_TRUE(create_class_window(L"clip", 0, WS_POPUP, 0, 0, 10, 10, nullptr, &owner));
        window = owner.GetHandle();
    }

    // The clipboard's bytes start with the expected ones (blocks may be rounded up).
    static void ExpectStartsWith(const _typebuf<uint8_t>& out, const void* expected, size_t size)
    {
        ASSERT_GE(size_t(out.Count()), size);
        EXPECT_EQ(memcmp(out.Data(), expected, size), 0);
    }

    cWndLite owner{"ClipOwner"};
    HWND window = nullptr;
    _typebuf<uint8_t> out;
};

TEST_F(ClipboardTest, TextRoundTripsWithTerminator)
{
    const wchar_t text[] = L"Größe \x4e2d\x6587 text";
    // Without its NUL: the block still ends with one.
    ASSERT_TRUE(clipboard_put_text(window, text, uint32_t(wcslen(text) * sizeof(wchar_t))));
    EXPECT_TRUE(clipboard_has_data(window, true));
    ASSERT_TRUE(clipboard_get_text(window, out));
    ExpectStartsWith(out, text, sizeof(text));

    // Another program reading the clipboard sees the same text.
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(data, nullptr);
    EXPECT_STREQ(static_cast<const wchar_t*>(GlobalLock(data)), text);
    GlobalUnlock(data);
    CloseClipboard();
}

TEST_F(ClipboardTest, RawBytesRoundTripUnderPrivateFormat)
{
    std::vector<uint8_t> bytes(5000);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = uint8_t(i * 7 + 3);
    ASSERT_TRUE(clipboard_put_bytes(window, bytes.data(), uint32_t(bytes.size())));
    UINT format = RegisterClipboardFormatW(L"CI Raw bytes");
    EXPECT_EQ(clipboard_raw_format(), format);
    EXPECT_TRUE(IsClipboardFormatAvailable(format));
    EXPECT_FALSE(clipboard_has_data(window, true));
    EXPECT_TRUE(clipboard_has_data(window, false));
    ASSERT_TRUE(clipboard_get_bytes(window, out));
    ExpectStartsWith(out, bytes.data(), bytes.size());
    EXPECT_FALSE(clipboard_get_text(window, out));
}

TEST_F(ClipboardTest, GdiHandlesAreNeverReadAsMemory)
{
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 4);
    ReleaseDC(nullptr, screen);
    HDC meta_dc = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    Rectangle(meta_dc, 0, 0, 10, 10);
    struct {
        LOGPALETTE header;
        PALETTEENTRY more[1];
    } palette_record = {{0x300, 2, {{1, 2, 3, 0}}}, {{4, 5, 6, 0}}};
    const char payload[] = "the one global block";
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(payload));
    memcpy(GlobalLock(block), payload, sizeof(payload));
    GlobalUnlock(block);
    // The metafile, bitmap and palette come first in the clipboard's order;
    // their handles are skipped, and the registered block is read.
    const std::pair<UINT, HANDLE> formats[] = {
        {CF_ENHMETAFILE, CloseEnhMetaFile(meta_dc)},
        {CF_BITMAP, bitmap},
        {CF_PALETTE, CreatePalette(&palette_record.header)},
        {RegisterClipboardFormatW(L"Clipboard test payload"), block},
    };
    ASSERT_TRUE(OpenClipboard(window));
    EmptyClipboard();
    for (const auto& f : formats)
        EXPECT_NE(SetClipboardData(f.first, f.second), nullptr) << f.first;
    EXPECT_EQ(EnumClipboardFormats(0), UINT(CF_ENHMETAFILE));
    CloseClipboard();
    ASSERT_TRUE(clipboard_get_bytes(window, out));
    EXPECT_TRUE(clipboard_has_data(window, false));
    ExpectStartsWith(out, payload, sizeof(payload));
}

TEST(ClipboardFormats, OnlyGlobalMemoryFormatsAreRead)
{
    const std::pair<UINT, bool> cases[] = {
        {CF_TEXT, true},          {CF_BITMAP, false},       {CF_METAFILEPICT, true}, {CF_DIB, true},
        {CF_PALETTE, false},      {CF_UNICODETEXT, true},   {CF_ENHMETAFILE, false}, {CF_HDROP, true},
        {CF_DIBV5, true},         {CF_DSPBITMAP, false},    {CF_DSPENHMETAFILE, false},
        {CF_OWNERDISPLAY, false}, {CF_PRIVATEFIRST, false}, {CF_GDIOBJFIRST, false}, {CF_GDIOBJLAST, false},
        {0xC123, true},           {0xC302, true},           {0xC309, true},          {0, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(clipboard_format_is_global(c.first), c.second) << std::hex << c.first;
}

TEST_F(ClipboardTest, BlockThatCannotBeHadAnswersFalse)
{
    ASSERT_TRUE(clipboard_put_text(window, L"kept", 10));
    // No 32-bit process gets a block of 4 GiB; the source is never read.
    const wchar_t small[] = L"x";
    EXPECT_FALSE(clipboard_put_text(window, small, 0xFFFFFFF0u));
    EXPECT_FALSE(clipboard_put_bytes(window, small, 0xFFFFFFF0u));
    EXPECT_FALSE(clipboard_put_bytes(window, nullptr, 10));
}

TEST_F(ClipboardTest, ClipboardHeldByAnotherThreadAnswersFalse)
{
    ASSERT_TRUE(clipboard_put_text(window, L"a", 4));
    HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&]() {
        OpenClipboard(nullptr);
        SetEvent(opened);
        WaitForSingleObject(release, INFINITE);
        CloseClipboard();
    });
    WaitForSingleObject(opened, INFINITE);
    EXPECT_FALSE(clipboard_put_text(window, L"b", 4));
    EXPECT_FALSE(clipboard_get_text(window, out));
    EXPECT_FALSE(clipboard_get_bytes(window, out));
    SetEvent(release);
    holder.join();
    CloseHandle(opened);
    CloseHandle(release);
    ASSERT_TRUE(clipboard_get_text(window, out));
    EXPECT_EQ(out[0], 'a');
}

}  // namespace
