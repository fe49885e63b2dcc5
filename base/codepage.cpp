#include "base/codepage.h"

#include <string.h>
#include <wchar.h>
#include <windows.h>

#include "base/codepage_dbcs.h"
#include "base/codepage_iso_euc.h"
#include "base/codepage_sb.h"
#include "base/utf8.h"

namespace {

const int32_t codepage_utf8 = 65001;

int32_t resolved(int32_t codepage)
{
    return codepage == 0 ? codepage_default_ansi() : codepage;
}

// Counts with a terminator added for NUL-terminated input.
int32_t with_terminator(int32_t count, int32_t length)
{
    return length < 0 ? count + 1 : count;
}

}  // namespace

int32_t codepage_default_ansi()
{
    DWORD codepage = 0;
    if (!GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                        reinterpret_cast<LPWSTR>(&codepage), sizeof(codepage) / sizeof(WCHAR)))
        return 0;
    return int32_t(codepage);
}

int32_t mb_length_of_wstr(const wchar_t* text, int32_t length, int32_t codepage)
{
    if (!text || length == 0)
        return 0;
    codepage = resolved(codepage);
    if (codepage == codepage_utf8)
        return with_terminator(utf8_length_of_wstr(text, length), length);
    if (codepage_is_single_byte(codepage))
        return length < 0 ? int32_t(wcslen(text)) + 1 : length;
    return 0;
}

int32_t wstr_length_of_mb(const char* bytes, int32_t length, int32_t codepage)
{
    if (!bytes || length == 0)
        return 0;
    codepage = resolved(codepage);
    if (codepage == codepage_utf8)
        return with_terminator(utf8_char_count(bytes, length), length);
    if (codepage_is_single_byte(codepage))
        return length < 0 ? int32_t(strlen(bytes)) + 1 : length;
    if (codepage_is_double_byte(codepage))
        return with_terminator(dbcs_char_count(bytes, length, codepage), length);
    if (codepage_is_iso2022_euc(codepage))
        return with_terminator(iso_euc_char_count(bytes, length, codepage), length);
    return 0;
}

int32_t mb_to_wstr(const char* bytes, int32_t length, wchar_t* out, int32_t capacity,
                   int32_t codepage)
{
    if (!bytes || length == 0)
        return 0;
    codepage = resolved(codepage);
    if (!out)
        return wstr_length_of_mb(bytes, length, codepage);
    if (codepage == codepage_utf8)
        return utf8_decode(length, bytes, out, capacity);
    if (codepage_is_single_byte(codepage))
        return codepage_sb_decode(bytes, length, out, capacity, codepage);
    if (codepage_is_double_byte(codepage))
        return dbcs_decode(bytes, length, out, capacity, codepage);
    if (codepage_is_iso2022_euc(codepage))
        return iso_euc_decode(bytes, length, out, capacity, codepage);
    return 0;
}

int32_t wstr_to_utf8(const wchar_t* text, char* out, int32_t length, int32_t capacity)
{
    if (!text || length == 0)
        return 0;
    if (!out)
        return mb_length_of_wstr(text, length, codepage_utf8);
    return utf8_encode(capacity, out, length, text);
}

bool codepage_is_single_byte(int32_t codepage)
{
    return codepage == 0 || codepage_sb_table_index(codepage) >= 0;
}

bool codepage_is_double_byte(int32_t codepage)
{
    return codepage == 932 || codepage == 936 || codepage == 949 || codepage == 950;
}

bool codepage_is_iso2022_euc(int32_t codepage)
{
    return codepage == 50221 || codepage == 50227 || codepage == 51932 || codepage == 51936;
}
