#include "base/location_text.h"

#include <windows.h>

#include "base/format.h"

namespace {

bool has_text(const wchar_t* text)
{
    return text && text[0];
}

}  // namespace

double location_size_gb(uint64_t total_bytes)
{
    return double(total_bytes / 10737418) * 0.01;
}

int32_t location_drive_text(wchar_t* out, int32_t size, uint32_t drive_type, wchar_t letter, const wchar_t* label,
                            uint64_t total_bytes)
{
    double gb = location_size_gb(total_bytes);
    switch (drive_type) {
    case DRIVE_FIXED:
        return has_text(label) ? wstr_format(out, size, L"%s (%c:, %.02fGB fixed drive)", label, letter, gb)
                               : wstr_format(out, size, L"Fixed disk %c: (%.02fGB)", letter, gb);
    case DRIVE_REMOTE:
        return has_text(label) ? wstr_format(out, size, L"%s (%c:, %.02fGB network drive)", label, letter, gb)
                               : wstr_format(out, size, L"Network disk %c: (%.02fGB)", letter, gb);
    case DRIVE_CDROM:
        return wstr_format(out, size, L"CD/DVD drive %c:", letter);
    case DRIVE_RAMDISK:
        return wstr_format(out, size, L"RAM drive %c:", letter);
    default:
        return wstr_format(out, size, L"Disk %c:", letter);
    }
}

int32_t location_remembered_text(wchar_t* out, int32_t size, const wchar_t* local_name, const wchar_t* label,
                                 uint64_t total_bytes, const wchar_t* remote_name, bool online)
{
    if (!online)
        return has_text(label) ? wstr_format(out, size, L"%s (%s on %s - Offline)", label, local_name, remote_name)
                               : wstr_format(out, size, L"%s (%s - Offline)", local_name, remote_name);
    double gb = location_size_gb(total_bytes);
    return has_text(label) ? wstr_format(out, size, L"%s (%s, %.02fGB on %s)", label, local_name, gb, remote_name)
                           : wstr_format(out, size, L"%s (%.02fGB on %s)", local_name, gb, remote_name);
}
