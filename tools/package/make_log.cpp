#include "tools/package/make_log.h"

#include <stdarg.h>
#include <string.h>

#include "base/format.h"

void cMakeLog::Print(const char* format, ...)
{
    char text[1024];
    va_list args;
    va_start(args, format);
    str_format_va(text, sizeof text, format, args);
    va_end(args);
    Write(text, uint32_t(strlen(text)));
}

cMakeFileLog::cMakeFileLog(const wchar_t* path)
{
    file.Create(path, FILE_MODE_WRITE);
}

void cMakeFileLog::Write(const char* text, uint32_t length)
{
    char lines[2048];
    uint32_t used = 0;
    for (uint32_t i = 0; i < length; ++i) {
        if (text[i] == '\n')
            lines[used++] = '\r';
        lines[used++] = text[i];
    }
    if (file.IsOpen()) {
        file.WriteExact(lines, used);
        return;
    }
    DWORD written;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), lines, used, &written, nullptr);
}
