#include "tools/install/shell_link.h"

#include <string.h>
#include <windows.h>

#include "base/buffers/typebuf.h"
#include "base/byte_order.h"
#include "base/case_map.h"
#include "base/date_time.h"
#include "base/file_info.h"
#include "base/file_io.h"
#include "base/file_ops.h"
#include "base/mem_io_target.h"
#include "base/path.h"
#include "base/special_folders.h"
#include "base/string_utils.h"

namespace {

// The link's header flags.
const uint32_t link_has_id_list = 0x1;
const uint32_t link_has_link_info = 0x2;
const uint32_t link_has_name = 0x4;
const uint32_t link_has_working_dir = 0x10;
const uint32_t link_has_arguments = 0x20;
const uint32_t link_has_icon_location = 0x40;
const uint32_t link_is_unicode = 0x80;
const uint32_t link_run_as_user = 0x2000;
const uint32_t link_enable_target_metadata = 0x80000;

const uint8_t link_clsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
// The root item: the "My Computer" folder.
const uint8_t root_item[20] = {0x14, 0x00, 0x1F, 0x50, 0xE0, 0x4F, 0xD0, 0x20, 0xEA, 0x3A,
                               0x69, 0x10, 0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};
const uint32_t link_header_size = 0x4C;
const uint32_t link_info_header_size = 0x1C;
// The header that adds the offsets of the Unicode paths.
const uint32_t link_info_unicode_header_size = 0x24;
const uint32_t volume_id_size = 17;

bool present(const wchar_t* text)
{
    return text && text[0];
}

// Little-endian bytes into a memory stream; one failed write spoils the
// whole build.
class cLinkBytes {
public:
    cLinkBytes() : failed(false) {}

    void Put(const void* data, uint32_t size)
    {
        if (size && out.Write(data, size) != int32_t(size))
            failed = true;
    }
    void Zeros(uint32_t count)
    {
        static const uint8_t zeros[32] = {};
        while (count) {
            uint32_t n = count < sizeof(zeros) ? count : uint32_t(sizeof(zeros));
            Put(zeros, n);
            count -= n;
        }
    }
    void U8(uint8_t value) { Put(&value, 1); }
    void U16(uint16_t value)
    {
        uint8_t bytes[2] = {uint8_t(value), uint8_t(value >> 8)};
        Put(bytes, 2);
    }
    void U32(uint32_t value)
    {
        uint8_t bytes[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
        Put(bytes, 4);
    }
    void U64(uint64_t value)
    {
        U32(uint32_t(value));
        U32(uint32_t(value >> 32));
    }
    void Units(const wchar_t* text, int32_t count)
    {
        for (int32_t i = 0; i < count; ++i)
            U16(uint16_t(text[i]));
    }
    uint32_t Size() { return uint32_t(out.GetSize()); }
    bool CopyTo(_typebuf<uint8_t>& bytes) { return !failed && out.CopyTo(bytes); }

    bool failed;

private:
    cMemIOTarget out;
};

// The text in the system's ANSI code page, with a terminating zero that
// the count leaves out; false when it cannot be converted. Characters the
// code page lacks become its default character; *lossless (when given)
// tells whether there were none.
bool ansi_of(const wchar_t* text, int32_t length, _typebuf<char>& out, int32_t& count, bool* lossless = nullptr)
{
    count = 0;
    if (lossless)
        *lossless = true;
    if (length == 0) {
        out.Resize(1);
        if (!out.Data())
            return false;
        out[0] = 0;
        return true;
    }
    // No best fit: a character shown as another one would name another file.
    BOOL defaulted = FALSE;
    int32_t needed = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return false;
    out.Resize(needed + 1);
    if (!out.Data())
        return false;
    count = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, length, out.Data(), needed, nullptr,
                                &defaulted);
    out[count] = 0;
    if (lossless)
        *lossless = !defaulted;
    return count == needed;
}

bool is_separator(wchar_t c)
{
    return c == L'/' || c == L'\\';
}

// One item of the target's path: the short name in the ANSI code page, then
// an extension block with the Unicode name.
bool put_path_item(cLinkBytes& items, const wchar_t* name, int32_t units, bool file_item, uint32_t file_size)
{
    _typebuf<char> ansi;
    int32_t bytes;
    if (!ansi_of(name, units, ansi, bytes))
        return false;
    uint32_t extension_at = uint32_t(bytes) + 15;
    extension_at += extension_at & 1;
    uint32_t extension_size = 2 * uint32_t(units) + 46;
    uint32_t item_size = extension_at + extension_size;
    if (item_size > 0xFFFF)
        return false;
    items.U16(uint16_t(item_size));
    items.U8(file_item ? 0x32 : 0x31);
    items.U8(0);
    items.U32(file_item ? file_size : 0);
    items.U32(0);
    items.U16(file_item ? 0x20 : 0x10);
    items.Put(ansi.Data(), uint32_t(bytes) + 1);
    items.Zeros(extension_at - (uint32_t(bytes) + 15));
    items.U16(uint16_t(extension_size));
    items.U16(8);
    items.U32(0xBEEF0004);
    items.U32(0);
    items.U32(0);
    items.U16(0x002A);
    items.Zeros(24);
    items.Units(name, units);
    items.U16(0);
    items.U16(uint16_t(extension_at));
    return true;
}

bool put_id_list(cLinkBytes& link, const wchar_t* target, bool file_target, uint32_t file_size)
{
    cLinkBytes items;
    items.Put(root_item, sizeof(root_item));
    uint8_t drive[3] = {0x19, 0x00, 0x2F};
    items.Put(drive, 3);
    items.U8(uint8_t(wchar_to_upper(target[0])));
    items.U8(':');
    items.U8('\\');
    items.Zeros(19);
    const wchar_t* at = target + 2;
    while (*at) {
        while (is_separator(*at))
            ++at;
        if (!*at)
            break;
        const wchar_t* end = at;
        while (*end && !is_separator(*end))
            ++end;
        const wchar_t* rest = end;
        while (is_separator(*rest))
            ++rest;
        bool last = *rest == 0;
        if (!put_path_item(items, at, int32_t(end - at), last && file_target, file_size))
            return false;
        at = end;
    }
    items.U16(0);
    uint32_t size = items.Size();
    _typebuf<uint8_t> bytes;
    if (size > 0xFFFF || !items.CopyTo(bytes))
        return false;
    link.U16(uint16_t(size));
    link.Put(bytes.Data(), size);
    return true;
}

// '/' turned into '\\'.
bool native_separators(const wchar_t* text, _guardchar<wchar_t>& out)
{
    out.Assign(text);
    wchar_t* units = out.Buffer();
    if (!units)
        return false;
    for (; *units; ++units)
        if (*units == L'/')
            *units = L'\\';
    return true;
}

// The target's volume and local path. A path the ANSI code page cannot hold
// is also given in Unicode (the longer header with its two offsets), so
// that it does not come back as question marks.
bool put_link_info(cLinkBytes& link, const wchar_t* target)
{
    _guardchar<wchar_t> native;
    _typebuf<char> ansi;
    int32_t bytes;
    bool lossless = true;
    if (!native_separators(target, native) || !ansi_of(native.Text(), native.Length(), ansi, bytes, &lossless))
        return false;
    uint32_t header = lossless ? link_info_header_size : link_info_unicode_header_size;
    uint32_t path_at = header + volume_id_size;
    uint32_t suffix_at = path_at + uint32_t(bytes) + 1;
    uint32_t unicode_path_at = suffix_at + 1;
    uint32_t unicode_suffix_at = unicode_path_at + 2 * (uint32_t(native.Length()) + 1);
    link.U32(lossless ? suffix_at + 1 : unicode_suffix_at + 2);
    link.U32(header);
    link.U32(1);  // VolumeIDAndLocalBasePath
    link.U32(header);
    link.U32(path_at);
    link.U32(0);
    link.U32(suffix_at);
    if (!lossless) {
        link.U32(unicode_path_at);
        link.U32(unicode_suffix_at);
    }
    link.U32(volume_id_size);
    link.U32(DRIVE_FIXED);
    link.U32(0);
    link.U32(0x10);
    link.U8(0);
    link.Put(ansi.Data(), uint32_t(bytes) + 1);
    link.U8(0);
    if (!lossless) {
        link.Units(native.Text(), native.Length() + 1);
        link.U16(0);
    }
    return true;
}

// A counted string of the string data; false when it is too long.
bool put_string(cLinkBytes& link, const wchar_t* text, bool native_path)
{
    if (!present(text))
        return true;
    _guardchar<wchar_t> converted;
    if (native_path) {
        if (!native_separators(text, converted))
            return false;
        text = converted.Text();
    }
    int32_t units = wstr_length(text);
    if (units > 0xFFFF)
        return false;
    link.U16(uint16_t(units));
    link.Units(text, units);
    return true;
}

bool on_drive(const wchar_t* path)
{
    wchar_t letter = wchar_to_upper(path[0]);
    return letter >= L'A' && letter <= L'Z' && path[1] == L':';
}

// folder/"<name>.lnk", the name made safe as a file name.
bool join_link_name(const wchar_t* folder, const wchar_t* name, _guardchar<wchar_t>& out)
{
    wchar_t safe_name[260];
    if (make_safe_file_name(name, safe_name, 256) == 0)
        return false;
    wcscat(safe_name, L".lnk");
    return path_join(folder, safe_name, out);
}

// A link file's bytes, read with bounds: every field past the end reads
// as a failure.
struct cLinkView {
    const uint8_t* bytes;
    uint32_t size;

    bool U16(uint32_t at, uint32_t& out) const
    {
        if (at > size || size - at < 2)
            return false;
        out = read_u16_le(bytes + at);
        return true;
    }
    bool U32(uint32_t at, uint32_t& out) const
    {
        if (at > size || size - at < 4)
            return false;
        out = read_u32_le(bytes + at);
        return true;
    }
    // The zero-ended text of 8-bit (ANSI) or 16-bit units at `at`, ending
    // before end.
    bool Text(uint32_t at, uint32_t end, bool unicode, _guardchar<wchar_t>& out) const
    {
        const uint32_t unit = unicode ? 2 : 1;
        uint32_t length = 0;
        for (;; ++length) {
            uint32_t place = at + length * unit;
            if (place + unit > end)
                return false;
            if (bytes[place] == 0 && (!unicode || bytes[place + 1] == 0))
                break;
        }
        if (unicode) {
            out.Allocate(int32_t(length) + 1);
            if (!out.Buffer())
                return false;
            for (uint32_t i = 0; i < length; ++i)
                out.Buffer()[i] = wchar_t(read_u16_le(bytes + at + 2 * i));
            out.Buffer()[length] = 0;
            return true;
        }
        const char* ansi = reinterpret_cast<const char*>(bytes + at);
        int32_t units = length ? MultiByteToWideChar(CP_ACP, 0, ansi, int32_t(length), nullptr, 0) : 0;
        if (length && units <= 0)
            return false;
        out.Allocate(units + 1);
        if (!out.Buffer() ||
            (length && MultiByteToWideChar(CP_ACP, 0, ansi, int32_t(length), out.Buffer(), units) != units))
            return false;
        out.Buffer()[units] = 0;
        return true;
    }
};

// The largest link file read: far more than any link of a local target.
const uint64_t largest_link_file = 1 << 20;

}  // namespace

bool write_shell_link(const wchar_t* link_path, const wchar_t* target, const wchar_t* working_folder,
                      bool run_as_administrator, const wchar_t* arguments, const wchar_t* icon_path,
                      const wchar_t* description, bool only_new)
{
    if (!link_path || !target || !on_drive(target))
        return false;
    uint32_t kind = path_get_kind(target);
    if (kind != PATH_KIND_FILE && kind != PATH_KIND_FOLDER)
        return false;
    if (present(working_folder) && path_get_kind(working_folder) != PATH_KIND_FOLDER)
        return false;
    if (present(icon_path) && path_get_kind(icon_path) != PATH_KIND_FILE)
        return false;
    bool file_target = kind == PATH_KIND_FILE;
    uint32_t file_size = 0;
    if (file_target) {
        cFileInfo info;
        if (!path_get_info(target, info))
            return false;
        file_size = uint32_t(info.size);
    }

    uint32_t flags = link_has_id_list | link_has_link_info | link_is_unicode | link_enable_target_metadata;
    if (run_as_administrator)
        flags |= link_run_as_user;
    if (present(description))
        flags |= link_has_name;
    if (present(working_folder))
        flags |= link_has_working_dir;
    if (present(arguments))
        flags |= link_has_arguments;
    if (present(icon_path))
        flags |= link_has_icon_location;
    uint64_t now = unix_to_filetime(time_now_unix());

    cLinkBytes link;
    link.U32(link_header_size);
    link.Put(link_clsid, sizeof(link_clsid));
    link.U32(flags);
    link.U32(file_target ? FILE_ATTRIBUTE_ARCHIVE : FILE_ATTRIBUTE_DIRECTORY);
    link.U64(now);
    link.U64(now);
    link.U64(now);
    link.U32(file_size);
    link.U32(0);
    link.U32(SW_SHOWNORMAL);
    link.U16(0);
    link.Zeros(10);
    if (!put_id_list(link, target, file_target, file_size) || !put_link_info(link, target) ||
        !put_string(link, description, false) || !put_string(link, working_folder, true) ||
        !put_string(link, arguments, false) || !put_string(link, icon_path, true))
        return false;
    _typebuf<uint8_t> bytes;
    if (!link.CopyTo(bytes))
        return false;
    cFileIO file;
    if (!only_new)
        return file.Create(link_path, FILE_MODE_WRITE) && file.WriteExact(bytes.Data(), uint32_t(bytes.Count()));
    if (!file.CreateNew(link_path, FILE_MODE_WRITE))
        return false;
    if (file.WriteExact(bytes.Data(), uint32_t(bytes.Count())) && file.Flush())
        return true;
    file.Close();
    file_delete(link_path);
    return false;
}

bool shortcut_path(const wchar_t* name, const wchar_t* group, _guardchar<wchar_t>& link_path)
{
    _guardchar<wchar_t> folder;
    // A group without a safe name leaves the Programs folder itself.
    return present(name) &&
           (get_start_menu_group_path(group, folder) || get_start_menu_folder(nullptr, folder)) &&
           join_link_name(folder.Text(), name, link_path);
}

bool make_shortcut_group(const wchar_t* name, const wchar_t* group, _guardchar<wchar_t>& link_path)
{
    _guardchar<wchar_t> folder;
    return present(name) && get_start_menu_folder(group ? group : L"", folder) &&
           join_link_name(folder.Text(), name, link_path);
}

bool write_shortcut(const wchar_t* link_path, const wchar_t* target, const wchar_t* arguments,
                    const wchar_t* icon_path, const wchar_t* description, bool run_as_administrator, bool only_new)
{
    if (!present(target))
        return false;
    _guardchar<wchar_t> target_path, working_folder;
    target_path.Assign(target);
    path_from_native(target_path.Buffer());
    const wchar_t* cut = target_path.Text() ? wstr_find_last_char(target_path.Text(), L'/') : nullptr;
    if (cut)
        working_folder.AssignN(target_path.Text(), int32_t(cut - target_path.Text()) + 1);
    return write_shell_link(link_path, target, working_folder.Text(), run_as_administrator, arguments, icon_path,
                            description, only_new);
}

bool read_shell_link_target(const wchar_t* link_path, _guardchar<wchar_t>& target)
{
    target.Clear();
    cFileIO file;
    if (!file.Open(link_path, FILE_MODE_READ))
        return false;
    uint64_t size = file.GetSize();
    if (size < link_header_size || size > largest_link_file)
        return false;
    _typebuf<uint8_t> bytes{static_cast<int32_t>(size)};
    if (!bytes.Data() || file.Read(bytes.Data(), uint32_t(size)) != int32_t(size))
        return false;
    const cLinkView link = {bytes.Data(), uint32_t(size)};
    uint32_t header = 0, flags = 0;
    if (!link.U32(0, header) || header != link_header_size || memcmp(link.bytes + 4, link_clsid, 16) != 0 ||
        !link.U32(20, flags) || !(flags & link_has_link_info))
        return false;
    uint32_t at = link_header_size;
    if (flags & link_has_id_list) {
        uint32_t id_list_size = 0;
        if (!link.U16(at, id_list_size))
            return false;
        at += 2 + id_list_size;
    }
    // The LinkInfo: its size, its header's size, its flags, then the
    // offsets (from its start) of its parts.
    uint32_t info_size = 0, info_header = 0, info_flags = 0, base = 0, suffix = 0;
    if (!link.U32(at, info_size) || info_size > link.size - at || !link.U32(at + 4, info_header) ||
        info_header < link_info_header_size || info_header > info_size || !link.U32(at + 8, info_flags) ||
        !(info_flags & 1) || !link.U32(at + 16, base) || !link.U32(at + 24, suffix))
        return false;
    bool unicode = false;
    if (info_header >= link_info_unicode_header_size) {
        uint32_t wide_base = 0, wide_suffix = 0;
        if (!link.U32(at + 28, wide_base) || !link.U32(at + 32, wide_suffix))
            return false;
        if (wide_base) {
            unicode = true;
            base = wide_base;
            suffix = wide_suffix;
        }
    }
    const uint32_t end = at + info_size;
    _guardchar<wchar_t> base_path, suffix_path;
    if (base < info_header || base >= info_size || suffix >= info_size ||
        !link.Text(at + base, end, unicode, base_path) || base_path.IsEmpty() ||
        (suffix && !link.Text(at + suffix, end, unicode, suffix_path)))
        return false;
    return path_format(target, L"%s%s", base_path.Text(), suffix_path.Text() ? suffix_path.Text() : L"");
}
