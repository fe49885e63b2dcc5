#include "gui/clipboard.h"

#include <string.h>

namespace {

UINT raw_format = 0;

// Opens the clipboard for the life of the object.
class cOpenClipboard {
public:
    explicit cOpenClipboard(HWND owner) : open(OpenClipboard(owner) != 0) {}
    ~cOpenClipboard()
    {
        if (open)
            CloseClipboard();
    }
    cOpenClipboard(const cOpenClipboard&) = delete;
    cOpenClipboard& operator=(const cOpenClipboard&) = delete;

    bool IsOpen() const { return open; }

private:
    bool open;
};

// A global block with the bytes and `terminator` zero bytes after them; the
// clipboard takes it over only when SetClipboardData succeeds.
bool put_block(HWND owner, UINT format, const void* bytes, uint32_t size, uint32_t terminator)
{
    if (!format || (size && !bytes))
        return false;
    cOpenClipboard clipboard(owner);
    if (!clipboard.IsOpen())
        return false;
    EmptyClipboard();
    uint64_t total = uint64_t(size) + terminator;
    if (total == 0 || total > UINT32_MAX)
        return false;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, SIZE_T(total));
    if (!block)
        return false;
    void* target = GlobalLock(block);
    if (!target) {
        GlobalFree(block);
        return false;
    }
    if (size)
        memcpy(target, bytes, size);
    GlobalUnlock(block);
    if (!SetClipboardData(format, block)) {
        GlobalFree(block);
        return false;
    }
    return true;
}

// Copies the whole global block into out.
bool read_block(HANDLE handle, _typebuf<uint8_t>& out)
{
    SIZE_T size = GlobalSize(handle);
    if (size > SIZE_T(INT32_MAX))
        return false;
    const void* source = GlobalLock(handle);
    if (!source)
        return false;
    out.Resize(int32_t(size));
    bool ok = out.Count() == int32_t(size);
    if (ok && size)
        memcpy(out.Data(), source, size);
    GlobalUnlock(handle);
    return ok;
}

// The data handle of the first global-memory format that has data, or null;
// the clipboard must be open.
HANDLE first_global_block()
{
    for (UINT format = EnumClipboardFormats(0); format; format = EnumClipboardFormats(format)) {
        if (!clipboard_format_is_global(format))
            continue;
        HANDLE data = GetClipboardData(format);
        if (data)
            return data;
    }
    return nullptr;
}

}  // namespace

UINT clipboard_raw_format()
{
    if (!raw_format)
        raw_format = RegisterClipboardFormatW(L"CI Raw bytes");
    return raw_format;
}

bool clipboard_format_is_global(UINT format)
{
    // Registered formats always travel in global memory.
    if (format >= 0xC000 && format <= 0xFFFF)
        return true;
    switch (format) {
    case CF_TEXT:
    case CF_METAFILEPICT:
    case CF_SYLK:
    case CF_DIF:
    case CF_TIFF:
    case CF_OEMTEXT:
    case CF_DIB:
    case CF_PENDATA:
    case CF_RIFF:
    case CF_WAVE:
    case CF_UNICODETEXT:
    case CF_HDROP:
    case CF_LOCALE:
    case CF_DIBV5:
    case CF_DSPTEXT:
    case CF_DSPMETAFILEPICT:
        return true;
    default:
        // CF_BITMAP, CF_PALETTE, CF_ENHMETAFILE and their display forms are
        // GDI handles; the private (0x200-0x2FF) and GDI-object (0x300-0x3FF)
        // ranges hold handles of unknown kind.
        return false;
    }
}

bool clipboard_put_text(HWND owner, const wchar_t* text, uint32_t size_in_bytes)
{
    return put_block(owner, CF_UNICODETEXT, text, size_in_bytes, sizeof(wchar_t));
}

bool clipboard_put_bytes(HWND owner, const void* bytes, uint32_t size)
{
    return put_block(owner, clipboard_raw_format(), bytes, size, 0);
}

bool clipboard_get_text(HWND owner, _typebuf<uint8_t>& out)
{
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT))
        return false;
    cOpenClipboard clipboard(owner);
    if (!clipboard.IsOpen())
        return false;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    return data && read_block(data, out);
}

bool clipboard_get_bytes(HWND owner, _typebuf<uint8_t>& out)
{
    cOpenClipboard clipboard(owner);
    if (!clipboard.IsOpen())
        return false;
    HANDLE data = first_global_block();
    return data && read_block(data, out);
}

bool clipboard_has_data(HWND owner, bool text_only)
{
    if (text_only)
        return IsClipboardFormatAvailable(CF_UNICODETEXT) != 0;
    cOpenClipboard clipboard(owner);
    if (!clipboard.IsOpen())
        return false;
    HANDLE data = first_global_block();
    return data && GlobalSize(data) > 0;
}
