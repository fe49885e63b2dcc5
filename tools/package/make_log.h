#ifndef TOOLS_PACKAGE_MAKE_LOG_H
#define TOOLS_PACKAGE_MAKE_LOG_H

#include <stdint.h>

#include "base/file_io.h"

// The make log: lines that begin "(i) " for progress and "(e) " for errors.
class cMakeLog {
public:
    virtual ~cMakeLog() {}
    // printf-style; at most 1,023 bytes of output a call.
    void Print(const char* format, ...) __attribute__((format(ms_printf, 2, 3)));

protected:
    virtual void Write(const char* text, uint32_t length) = 0;
};

// The log as a text file (line ends CR LF), or standard output when the
// file cannot be created.
class cMakeFileLog : public cMakeLog {
public:
    explicit cMakeFileLog(const wchar_t* path);

protected:
    void Write(const char* text, uint32_t length) override;

private:
    cFileIO file;
};

#endif
