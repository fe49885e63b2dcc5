#ifndef BASE_DATE_TIME_H
#define BASE_DATE_TIME_H

#include <stdint.h>

// A broken-down date and time without a time zone: each function says
// whether it fills or reads UTC or local time. Unix seconds count from
// 1970-01-01 00:00:00 UTC; FILETIME ticks are 100 ns from 1601-01-01.
struct cDateTime {
    uint16_t year;
    uint8_t month;  // 1-12
    uint8_t day;    // 1-31
    uint8_t hour;
    uint8_t minute;
    uint8_t second;
};

// Now, UTC. Always true.
bool time_now_utc(cDateTime& out);

// UTC fields of a Unix time.
void unix_to_datetime(uint32_t seconds, cDateTime& out);

uint64_t unix_to_filetime(uint64_t seconds);

struct _FILETIME;

// The latest Unix time whose FILETIME ticks still fit a signed 64-bit
// number, as Windows requires.
const uint64_t latest_filetime_unix_seconds = uint64_t(INT64_MAX) / 10000000 - 11644473600ull;

// unix_to_filetime as the structure Windows takes.
_FILETIME filetime_of_unix(uint64_t seconds);

// A file time as local date and time, the way Windows shows file times:
// with the bias in force now. Day of week and milliseconds are dropped.
// False, with out untouched, when Windows cannot convert it.
bool filetime_to_local(const _FILETIME& time, cDateTime& out);

// Now, in Unix seconds.
uint64_t time_now_unix();

// Now, in FILETIME ticks (UTC), as the file system stamps what it makes.
uint64_t time_now_filetime();

// Seconds that express a local wall-clock time, as if it were UTC, to the
// Unix seconds of the same instant under the system's time zone. A value
// that Windows cannot convert comes back unchanged; an instant before 1970
// gives 0.
uint64_t local_unix_to_utc(uint64_t seconds);

// Counts days itself, so any record converts: years before 1970 give 0,
// later fields wrap in 32 bits (after 2106), a month past 12 counts as 12.
uint32_t date_to_unix(const cDateTime& date);

bool is_leap_year(int32_t year);

// The lists' date format "%02d.%02d.%04d %02d:%02d:%02d" (day first, UTC)
// into a buffer of 100 units; 0 and 0xFFFFFFFF print "-". False only for a
// null buffer.
bool format_unix_time(uint32_t seconds, wchar_t* buffer);

#endif
