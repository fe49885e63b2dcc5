#include "tools/shell/update_address.h"

#include "base/http_request.h"
#include "base/string_convert.h"
#include "base/string_utils.h"

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

bool is_unsafe_in_file_name(wchar_t c)
{
    return c < 32 || c == L'\\' || c == L'/' || c == L':' || c == L'*' || c == L'?' || c == L'"' || c == L'<' ||
           c == L'>' || c == L'|';
}

// CON, PRN, AUX, NUL, COM1 to COM9 and LPT1 to LPT9, with or without an
// extension: names Windows takes for devices.
bool is_device_name(const wchar_t* name, int32_t length)
{
    int32_t stem = 0;
    while (stem < length && name[stem] != L'.')
        ++stem;
    static const wchar_t* const three[] = {L"con", L"prn", L"aux", L"nul"};
    if (stem == 3)
        for (const wchar_t* device : three)
            if (starts_with_nocase(name, device))
                return true;
    return stem == 4 && (starts_with_nocase(name, L"com") || starts_with_nocase(name, L"lpt")) &&
           name[3] >= L'1' && name[3] <= L'9';
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
    bool device = is_device_name(address + start, length);
    out.Allocate(length + (device ? 1 : 0) + 1);
    wchar_t* name = out.Buffer();
    if (!name)
        return;
    if (device)
        *name++ = L'_';
    for (int32_t i = 0; i < length; ++i)
        name[i] = is_unsafe_in_file_name(address[start + i]) ? L'_' : address[start + i];
}
