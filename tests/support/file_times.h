#ifndef TESTS_SUPPORT_FILE_TIMES_H
#define TESTS_SUPPORT_FILE_TIMES_H

#include <windows.h>

#include <string>

#include "base/date_time.h"

// A UTC date as a FILETIME.
inline FILETIME utc_filetime(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    SYSTEMTIME fields = {};
    fields.wYear = year;
    fields.wMonth = month;
    fields.wDay = day;
    fields.wHour = hour;
    fields.wMinute = minute;
    fields.wSecond = second;
    FILETIME time = {};
    SystemTimeToFileTime(&fields, &time);
    return time;
}

// Windows shows file times with the bias in force now (not the one of the
// file's date), so the expected local time is the UTC time less the current
// bias that GetTimeZoneInformation reports.
inline std::string expected_local(const FILETIME& utc)
{
    TIME_ZONE_INFORMATION zone;
    DWORD state = GetTimeZoneInformation(&zone);
    LONG bias = zone.Bias + (state == TIME_ZONE_ID_DAYLIGHT ? zone.DaylightBias : zone.StandardBias);
    ULARGE_INTEGER ticks;
    ticks.LowPart = utc.dwLowDateTime;
    ticks.HighPart = utc.dwHighDateTime;
    ticks.QuadPart -= LONGLONG(bias) * 60 * 10000000;
    FILETIME local = {ticks.LowPart, ticks.HighPart};
    SYSTEMTIME fields;
    FileTimeToSystemTime(&local, &fields);
    char text[32];
    snprintf(text, sizeof(text), "%04u-%02u-%02u %02u:%02u:%02u", fields.wYear, fields.wMonth, fields.wDay,
             fields.wHour, fields.wMinute, fields.wSecond);
    return text;
}

inline std::string text_of(const cDateTime& date)
{
    char text[32];
    snprintf(text, sizeof(text), "%04u-%02u-%02u %02u:%02u:%02u", date.year, date.month, date.day, date.hour,
             date.minute, date.second);
    return text;
}

// Sets the three times of a file or folder (native path).
inline bool set_file_times(const std::wstring& native, const FILETIME& created, const FILETIME& accessed,
                           const FILETIME& written)
{
    HANDLE file = CreateFileW(native.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    BOOL ok = SetFileTime(file, &created, &accessed, &written);
    CloseHandle(file);
    return ok != 0;
}

#endif
