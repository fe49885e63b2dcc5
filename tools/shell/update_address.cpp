#include "tools/shell/update_address.h"

#include "base/http_request.h"
#include "base/path.h"
#include "base/string_convert.h"

namespace {

bool starts_with_nocase(const wchar_t* text, const wchar_t* prefix)
{
    for (; *prefix; ++text, ++prefix) {
        wchar_t a = *text >= L'A' && *text <= L'Z' ? wchar_t(*text + 32) : *text;
        if (a != *prefix)
            return false;
    }
    return true;
}

}  // namespace

bool is_web_address(const wchar_t* text)
{
    return text && (starts_with_nocase(text, L"http://") || starts_with_nocase(text, L"https://"));
}

bool is_downloadable_address(const wchar_t* address)
{
    if (!address || !starts_with_nocase(address, L"http://"))
        return false;
    _guardchar<char> url;
    str_from_wstr_utf8(address, -1, url);
    cHttpRequest request;
    return request.SetUrl(url.Text());
}

void suggested_update_file_name(const wchar_t* address, _guardchar<wchar_t>& out)
{
    out.Clear();
    if (!address)
        return;
    int32_t end = 0;
    while (address[end] && address[end] != L'?' && address[end] != L'#')
        ++end;
    int32_t start = end;
    while (start > 0 && address[start - 1] != L'/')
        --start;
    while (end > start && (address[end - 1] == L'.' || address[end - 1] == L' '))
        --end;
    int32_t length = end - start;
    bool device = path_names_device(address + start, length);
    out.Allocate(length + (device ? 1 : 0) + 1);
    wchar_t* name = out.Buffer();
    if (!name)
        return;
    if (device)
        *name++ = L'_';
    for (int32_t i = 0; i < length; ++i)
        name[i] = path_char_refused_in_name(address[start + i]) ? L'_' : address[start + i];
}
