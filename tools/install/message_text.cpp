#include "tools/install/message_text.h"

#include "base/format.h"
#include "base/path.h"
#include "base/string_utils.h"

bool format_with_text(_guardchar<wchar_t>& out, const wchar_t* format, const wchar_t* argument)
{
    out.Clear();
    if (!format)
        return true;
    if (!argument)
        argument = L"";
    int32_t size = wstr_length(format) + wstr_length(argument) + 1;
    out.Allocate(size);
    return out.Buffer() && wstr_format(out.Buffer(), size, format, argument) >= 0;
}

bool format_with_path(_guardchar<wchar_t>& out, const wchar_t* format, const wchar_t* path)
{
    _guardchar<wchar_t> shown;
    shown.Assign(path);
    path_to_backslashes(shown.Buffer());
    return format_with_text(out, format, shown.Text());
}
