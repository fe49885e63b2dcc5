#include "base/exception.h"

cException::cException(const wchar_t* file, uint32_t at_line, uint32_t error_code, const wchar_t* text)
{
    source_file.Assign(file);
    line = at_line;
    code = error_code;
    message.Assign(text);
}

cException::cException(const cException& other) : code(other.code), line(other.line)
{
    message.Assign(other.message.Text());
    source_file.Assign(other.source_file.Text());
}
