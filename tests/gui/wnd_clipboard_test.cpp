#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
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
    }

    HWND Owner() { return owner.GetHandle(); }

    // Puts the formats with their handles, in this order, as one clipboard.
    bool PutRaw(const std::vector<std::pair<UINT, HANDLE>>& formats)
    {
        if (!OpenClipboard(Owner()))
            return false;
        EmptyClipboard();
        bool ok = true;
        for (const auto& f : formats) {
            bool set = SetClipboardData(f.first, f.second) != nullptr;
            if (!set)
                ADD_FAILURE() << "format " << f.first << " refused";
            ok = set && ok;
        }
        CloseClipboard();
        return ok;
    }

    static HGLOBAL GlobalWith(const void* bytes, size_t size)
    {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
        memcpy(GlobalLock(block), bytes, size);
        GlobalUnlock(block);
        return block;
    }

    cWndLite owner{"ClipOwner"};
};

TEST_F(ClipboardTest, TextRoundTripsWithTerminator)
{
    const wchar_t text[] = L"Größe \x4e2d\x6587 text";
    // Without its NUL: the block still ends with one.
    ASSERT_TRUE(clipboard_put_text(Owner(), text, uint32_t(wcslen(text) * sizeof(wchar_t))));
    EXPECT_TRUE(clipboard_has_data(Owner(), true));
    _typebuf<uint8_t> out;
    ASSERT_TRUE(clipboard_get_text(Owner(), out));
    ASSERT_GE(size_t(out.Count()), sizeof(text));
    EXPECT_EQ(memcmp(out.Data(), text, sizeof(text)), 0);

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
    ASSERT_TRUE(clipboard_put_bytes(Owner(), bytes.data(), uint32_t(bytes.size())));
    UINT format = RegisterClipboardFormatW(L"CI Raw bytes");
    EXPECT_EQ(clipboard_raw_format(), format);
    EXPECT_TRUE(IsClipboardFormatAvailable(format));
    EXPECT_FALSE(clipboard_has_data(Owner(), true));
    EXPECT_TRUE(clipboard_has_data(Owner(), false));
    _typebuf<uint8_t> out;
    ASSERT_TRUE(clipboard_get_bytes(Owner(), out));
    ASSERT_GE(size_t(out.Count()), bytes.size());
    EXPECT_EQ(memcmp(out.Data(), bytes.data(), bytes.size()), 0);
    _typebuf<uint8_t> text;
    EXPECT_FALSE(clipboard_get_text(Owner(), text));
}

TEST_F(ClipboardTest, GdiHandlesAreNeverReadAsMemory)
{
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 4);
    ReleaseDC(nullptr, screen);
    HDC meta_dc = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    Rectangle(meta_dc, 0, 0, 10, 10);
    HENHMETAFILE metafile = CloseEnhMetaFile(meta_dc);
    struct {
        LOGPALETTE header;
        PALETTEENTRY more[1];
    } palette_record = {{0x300, 2, {{1, 2, 3, 0}}}, {{4, 5, 6, 0}}};
    HPALETTE palette = CreatePalette(&palette_record.header);
    const char payload[] = "the one global block";
    UINT registered = RegisterClipboardFormatW(L"Clipboard test payload");
    ASSERT_TRUE(PutRaw({{CF_ENHMETAFILE, metafile},
                        {CF_BITMAP, bitmap},
                        {CF_PALETTE, palette},
                        {registered, GlobalWith(payload, sizeof(payload))}}));
    // The metafile, bitmap and palette come first in the clipboard's order;
    // their handles are skipped, and the registered block is read.
    ASSERT_TRUE(OpenClipboard(Owner()));
    EXPECT_EQ(EnumClipboardFormats(0), UINT(CF_ENHMETAFILE));
    CloseClipboard();
    _typebuf<uint8_t> out;
    ASSERT_TRUE(clipboard_get_bytes(Owner(), out));
    EXPECT_TRUE(clipboard_has_data(Owner(), false));
    ASSERT_GE(size_t(out.Count()), sizeof(payload));
    EXPECT_EQ(memcmp(out.Data(), payload, sizeof(payload)), 0);
}

TEST(ClipboardFormats, OnlyGlobalMemoryFormatsAreRead)
{
    struct Case {
        UINT format;
        bool global;
    };
    const Case cases[] = {
        {CF_TEXT, true},          {CF_BITMAP, false},       {CF_METAFILEPICT, true}, {CF_DIB, true},
        {CF_PALETTE, false},      {CF_UNICODETEXT, true},   {CF_ENHMETAFILE, false}, {CF_HDROP, true},
        {CF_DIBV5, true},         {CF_DSPBITMAP, false},    {CF_DSPENHMETAFILE, false},
        {CF_OWNERDISPLAY, false}, {CF_PRIVATEFIRST, false}, {CF_GDIOBJFIRST, false}, {CF_GDIOBJLAST, false},
        {0xC123, true},           {0xC302, true},           {0xC309, true},          {0, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(clipboard_format_is_global(c.format), c.global) << std::hex << c.format;
}

TEST_F(ClipboardTest, BlockThatCannotBeHadAnswersFalse)
{
    ASSERT_TRUE(clipboard_put_text(Owner(), L"kept", 10));
    // No 32-bit process gets a block of 4 GiB; the source is never read.
    const wchar_t small[] = L"x";
    EXPECT_FALSE(clipboard_put_text(Owner(), small, 0xFFFFFFF0u));
    EXPECT_FALSE(clipboard_put_bytes(Owner(), small, 0xFFFFFFF0u));
    EXPECT_FALSE(clipboard_put_bytes(Owner(), nullptr, 10));
}

struct HoldContext {
    HANDLE opened, release;
};

// Keeps the clipboard open on its own thread until told to let go.
DWORD WINAPI HoldClipboard(void* argument)
{
    HoldContext* context = static_cast<HoldContext*>(argument);
    OpenClipboard(nullptr);
    SetEvent(context->opened);
    WaitForSingleObject(context->release, INFINITE);
    CloseClipboard();
    return 0;
}

TEST_F(ClipboardTest, HeldClipboardAnswersFalse)
{
    ASSERT_TRUE(clipboard_put_text(Owner(), L"a", 4));
    // Another thread keeps it open.
    HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HoldContext ctx{opened, release};
    HANDLE thread = CreateThread(nullptr, 0, HoldClipboard, &ctx, 0, nullptr);
    WaitForSingleObject(opened, INFINITE);
    _typebuf<uint8_t> out;
    EXPECT_FALSE(clipboard_put_text(Owner(), L"b", 4));
    EXPECT_FALSE(clipboard_get_text(Owner(), out));
    EXPECT_FALSE(clipboard_get_bytes(Owner(), out));
    SetEvent(release);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    CloseHandle(opened);
    CloseHandle(release);
    ASSERT_TRUE(clipboard_get_text(Owner(), out));
    EXPECT_EQ(out[0], 'a');
}

}  // namespace
