#include "tools/shell/catalog_text.h"

#include "base/format.h"
#include "base/path.h"
#include "base/string_utils.h"
#include "gui/catalog.h"

bool format_catalog_text(_guardchar<wchar_t>& out, const wchar_t* format, const wchar_t* argument)
{
    out.Clear();
    if (!format)
        return true;
    if (!argument)
        argument = L"";
    // Room for the format, the argument and what other directives a
    // translation may hold.
    int32_t size = wstr_length(format) + wstr_length(argument) + 64;
    out.Allocate(size);
    if (out.Buffer() && wstr_format(out.Buffer(), size, format, argument) >= 0)
        return true;
    out.Clear();
    return false;
}

bool format_catalog_path(_guardchar<wchar_t>& out, const wchar_t* format, const wchar_t* path)
{
    _guardchar<wchar_t> shown(path);
    path_to_backslashes(shown.Buffer());
    return format_catalog_text(out, format, shown.Text());
}

const wchar_t* section_text(const wchar_t* section, int32_t id)
{
    const cStringArray* strings = catalog_find_section(get_global_catalog(), section);
    return strings ? get_catalog_string(strings, id) : nullptr;
}
