#ifndef BASE_LOCATION_TEXT_H
#define BASE_LOCATION_TEXT_H

#include <stdint.h>

// The texts the list of locations shows for drives. Each prints into out
// (size in characters, always terminated) and answers what wstr_format
// answers. A null or empty label selects the form without a label.

// Gigabytes with two decimals as the list shows them: the bytes in whole
// hundredths of 2^30, cut rather than rounded.
double location_size_gb(uint64_t total_bytes);

// A drive by its GetDriveTypeW answer: fixed ("Data (C:, 465.76GB fixed
// drive)"), remote, CD-ROM, RAM disk, and any other as a removable disk.
int32_t location_drive_text(wchar_t* out, int32_t size, uint32_t drive_type, wchar_t letter, const wchar_t* label,
                            uint64_t total_bytes);

// A remembered network drive: its local name ("Z:"), the share it maps, and
// whether it is connected now (size and label count only then).
int32_t location_remembered_text(wchar_t* out, int32_t size, const wchar_t* local_name, const wchar_t* label,
                                 uint64_t total_bytes, const wchar_t* remote_name, bool online);

#endif
