#include "tools/shell/shown_names.h"

#include <string.h>
#include <windows.h>

#include "base/format.h"
#include "base/string_convert.h"
#include "base/string_utils.h"
#include "tools/shell/catalog_text.h"

namespace {

// Units a name may grow to: each of its own at most "\uHHHH".
const int32_t longest_escape = 6;

bool is_control(wchar_t unit)
{
    return unit < 0x20 || (unit >= 0x7F && unit <= 0x9F) || unit == 0x2028 || unit == 0x2029 ||
           unit == 0x200E || unit == 0x200F || (unit >= 0x202A && unit <= 0x202E) || (unit >= 0x2066 && unit <= 0x2069);
}

// The count in decimal digits, in groups of three split by the user's
// thousands separator.
void grouped_count(uint32_t count, _guardchar<wchar_t>& out)
{
    wchar_t separator[5] = L",";
    if (!GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, 5))
        wcscpy(separator, L",");
    wchar_t digits[16];
    int32_t length = wstr_format(digits, 16, L"%u", count);
    wchar_t grouped[64];
    int32_t at = 0;
    for (int32_t i = 0; i < length; ++i) {
        if (i > 0 && (length - i) % 3 == 0)
            for (const wchar_t* s = separator; *s; ++s)
                grouped[at++] = *s;
        grouped[at++] = digits[i];
    }
    grouped[at] = 0;
    out.Assign(grouped);
}

}  // namespace

void escape_shown_name(const wchar_t* name, _guardchar<wchar_t>& out)
{
    int32_t length = wstr_length(name);
    out.Allocate(length * longest_escape + 1);
    wchar_t* at = out.Buffer();
    if (!at)
        return;
    for (int32_t i = 0; i < length; ++i) {
        wchar_t unit = name[i];
        if (unit == L'\\') {
            *at++ = L'\\';
            *at++ = L'\\';
        } else if (!is_control(unit)) {
            *at++ = unit;
        } else {
            at += wstr_format(at, longest_escape + 1, unit <= 0xFF ? L"\\x%02X" : L"\\u%04X", unsigned(unit));
        }
    }
    *at = 0;
}

void join_shown_names(const cRecordNames& names, const wchar_t* separator, const wchar_t* more,
                      _guardchar<wchar_t>& out)
{
    out.Clear();
    cLinkedList<_guardchar<wchar_t>> shown;
    int32_t gap = wstr_length(separator), length = 0;
    uint32_t count = 0;
    for (const cRecordNames::Node* node = names.first; node; node = node->next, ++count) {
        if (int32_t(count) >= shown_names_limit)
            continue;
        _guardchar<wchar_t> wide;
        wstr_from_utf8(-1, node->element.Text(), wide);
        _guardchar<wchar_t>* name = list_append(shown);
        if (!name)
            return;
        escape_shown_name(wide.Text(), *name);
        length += name->Length() + (node == names.first ? 0 : gap);
    }
    if (count > uint32_t(shown_names_limit)) {
        _guardchar<wchar_t> number;
        grouped_count(count - uint32_t(shown_names_limit), number);
        _guardchar<wchar_t>* rest = list_append(shown);
        if (!rest)
            return;
        format_catalog_text(*rest, more, number.Text());
        length += rest->Length() + gap;
    }
    if (!shown.first)
        return;
    out.Allocate(length + 1);
    wchar_t* at = out.Buffer();
    for (auto* node = shown.first; at && node; node = node->next) {
        if (node != shown.first) {
            memcpy(at, separator, size_t(gap) * sizeof(wchar_t));
            at += gap;
        }
        memcpy(at, node->element.Text(), size_t(node->element.Length()) * sizeof(wchar_t));
        at += node->element.Length();
    }
}
