#include "base/date_time.h"

#include <windows.h>

#include "base/dynamic_import.h"
#include "base/format.h"

namespace {

const uint64_t ticks_per_second = 10000000;
const uint64_t seconds_1601_to_1970 = 11644473600;
const uint64_t ticks_1601_to_1970 = seconds_1601_to_1970 * ticks_per_second;

uint64_t ticks_of(const FILETIME& time) { return uint64_t(time.dwHighDateTime) << 32 | time.dwLowDateTime; }

void copy_fields(const SYSTEMTIME& system, cDateTime& out)
{
    out.year = system.wYear;
    out.month = uint8_t(system.wMonth);
    out.day = uint8_t(system.wDay);
    out.hour = uint8_t(system.wHour);
    out.minute = uint8_t(system.wMinute);
    out.second = uint8_t(system.wSecond);
}

typedef BOOL(WINAPI* local_to_system_ex_fn)(const DYNAMIC_TIME_ZONE_INFORMATION*, const SYSTEMTIME*, SYSTEMTIME*);

// Missing before Windows 7; looked up once for the whole run.
local_to_system_ex_fn local_to_system_ex()
{
    static const local_to_system_ex_fn function =
        dynamic_import<local_to_system_ex_fn>(GetModuleHandleW(L"kernel32.dll"), "TzSpecificLocalTimeToSystemTimeEx");
    return function;
}

const uint8_t month_lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

}  // namespace

bool time_now_utc(cDateTime& out)
{
    FILETIME now;
    SYSTEMTIME system;
    GetSystemTimeAsFileTime(&now);
    FileTimeToSystemTime(&now, &system);
    copy_fields(system, out);
    return true;
}

bool filetime_to_local(const FILETIME& time, cDateTime& out)
{
    FILETIME local;
    SYSTEMTIME system;
    if (!FileTimeToLocalFileTime(&time, &local) || !FileTimeToSystemTime(&local, &system))
        return false;
    copy_fields(system, out);
    return true;
}

void unix_to_datetime(uint32_t seconds, cDateTime& out)
{
    FILETIME time = filetime_of_unix(seconds);
    SYSTEMTIME system;
    FileTimeToSystemTime(&time, &system);
    copy_fields(system, out);
}

uint64_t unix_to_filetime(uint64_t seconds) { return (seconds + seconds_1601_to_1970) * ticks_per_second; }

FILETIME filetime_of_unix(uint64_t seconds)
{
    uint64_t ticks = unix_to_filetime(seconds);
    FILETIME time;
    time.dwLowDateTime = DWORD(ticks);
    time.dwHighDateTime = DWORD(ticks >> 32);
    return time;
}

uint64_t time_now_unix()
{
    return (time_now_filetime() - ticks_1601_to_1970) / ticks_per_second;
}

uint64_t time_now_filetime()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return ticks_of(now);
}

uint64_t local_unix_to_utc(uint64_t seconds)
{
    FILETIME local = filetime_of_unix(seconds);
    SYSTEMTIME local_fields, utc_fields;
    if (!FileTimeToSystemTime(&local, &local_fields))
        return seconds;
    local_to_system_ex_fn ex = local_to_system_ex();
    BOOL converted = ex ? ex(nullptr, &local_fields, &utc_fields)
                        : TzSpecificLocalTimeToSystemTime(nullptr, &local_fields, &utc_fields);
    FILETIME utc;
    if (!converted || !SystemTimeToFileTime(&utc_fields, &utc))
        return seconds;
    uint64_t ticks = ticks_of(utc);
    return ticks < ticks_1601_to_1970 ? 0 : (ticks - ticks_1601_to_1970) / ticks_per_second;
}

uint32_t date_to_unix(const cDateTime& date)
{
    int32_t year = date.year;
    if (year < 1970)
        return 0;
    // Days before 1 January of the year; every century after 2000 counts
    // 36524 days, which holds for all years a 32-bit result can reach.
    int64_t days;
    if (year <= 1972) {
        days = (year - 1970) * 365;
    } else if (year <= 2000) {
        int32_t y = year - 1973;
        days = 1096 + (y / 4) * 1461 + (y % 4) * 365;
    } else {
        int32_t y = year - 2001;
        days = 11323 + int64_t(y / 100) * 36524 + ((y % 100) / 4) * 1461 + ((y % 100) % 4) * 365;
    }
    int32_t months_before = (date.month > 12 ? 12 : date.month) - 1;
    for (int32_t m = 0; m < months_before; ++m)
        days += month_lengths[m];
    if (months_before >= 2 && is_leap_year(year))
        ++days;
    return uint32_t((((days + date.day - 1) * 24 + date.hour) * 60 + date.minute) * 60 + date.second);
}

bool is_leap_year(int32_t year)
{
    if (year % 400 == 0)
        return true;
    if (year % 100 == 0)
        return false;
    return year % 4 == 0;
}

bool format_unix_time(uint32_t seconds, wchar_t* buffer)
{
    if (!buffer)
        return false;
    if (seconds == 0 || seconds == 0xFFFFFFFF) {
        buffer[0] = L'-';
        buffer[1] = 0;
        return true;
    }
    cDateTime date;
    unix_to_datetime(seconds, date);
    wstr_format(buffer, 100, L"%02d.%02d.%04d %02d:%02d:%02d", date.day, date.month, date.year, date.hour,
                date.minute, date.second);
    return true;
}
