#include "base/mem_io_target.h"
#include "base/small_utils.h"
#include "base/string_convert.h"
#include "base/string_utils.h"
#include "base/utf8.h"
#include "sidoc/doc_compiler.h"
#include "tools/package/scenario_reader.h"

namespace {

bool set_string(cPackageStrings& table, const wchar_t* key, const _guardchar<wchar_t>& value)
{
    cPackedKey packed;
    packedkey_from_wstr(packed, key, -1);
    _guardchar<wchar_t>* slot = packed.Data() ? tree_get_or_add(table, static_cast<cPackedKey&&>(packed)) : nullptr;
    if (!slot)
        return false;
    slot->Assign(value.Text());
    return value.IsEmpty() || slot->Text();
}

// A quoted value that ends the line.
bool read_final_quoted(cPackage& package, const wchar_t*& at, _guardchar<wchar_t>& value)
{
    return scenario_read_quoted(package, at, value) && scenario_line_ends(at);
}

// The line ends here, or goes on after a ',' and blanks.
enum { LINE_ENDS, LINE_GOES_ON, LINE_BROKEN };
int continue_after_comma(const wchar_t*& at)
{
    if (scenario_line_ends(at))
        return LINE_ENDS;
    if (*at != L',')
        return LINE_BROKEN;
    ++at;
    scenario_skip_blanks(at);
    return LINE_GOES_ON;
}

// "%d.%d.%d.%d" as scanf reads it: blanks and a sign before each number,
// up to four numbers joined by '.'; the parts given replace the package's.
int32_t read_version(cPackage& package, const wchar_t* text)
{
    int64_t parts[4];
    int count = 0;
    const wchar_t* at = text ? text : L"";
    for (; count < 4; ++count) {
        if (count && *at++ != L'.')
            break;
        while (*at == L' ' || (*at >= 9 && *at <= 13))
            ++at;
        bool negative = *at == L'-';
        if (*at == L'-' || *at == L'+')
            ++at;
        if (*at < L'0' || *at > L'9')
            break;
        int64_t value = 0;
        for (; *at >= L'0' && *at <= L'9'; ++at)
            if (value <= 65535)
                value = value * 10 + (*at - L'0');
        parts[count] = negative ? -value : value;
    }
    if (count < 2)
        return scenario_fail(package, SCENARIO_BAD_VERSION, L"The version has fewer than two numbers");
    for (int i = 0; i < count; ++i)
        if (parts[i] < 0 || parts[i] > 65535)
            return scenario_fail(package, SCENARIO_BAD_VERSION,
                                 L"A part of the version is out of range: each is 0 to 65,535");
    for (int i = 0; i < count; ++i)
        package.version[i] = uint32_t(parts[i]);
    return SCENARIO_OK;
}

// Compiles a document index into the package's document and loads it;
// false with the compiler's file, line, column and message (or the
// loader's refusal) as the scenario fault.
bool compile_document(cPackage& package, const wchar_t* index_path, cPackageDocument& document)
{
    cMemIOTarget compiled;
    cSiDocLangCodeMap codes(1024);
    cSiDocCompileError error;
    if (!compile_doc_index(&compiled, codes, index_path, error, &package.scenario_inputs)) {
        _guardchar<wchar_t> message;
        wstr_from_utf8(-1, error.message.Text() ? error.message.Text() : "", message);
        // Only a failed write to the target names no file.
        scenario_fail(package, 0, L"%s, line %u, column %u: %s", error.file.IsEmpty() ? index_path : error.file.Text(),
                      error.line, error.column, message.Text() ? message.Text() : L"");
        return false;
    }
    if (!compiled.CopyTo(document.bytes) || !document.bytes.Count())
        return false;
    if (!document.loader.Load(document.bytes.Data(), document.bytes.Count())) {
        scenario_fail(package, 0, L"%s: compiled, but the document loader refuses it", index_path);
        return false;
    }
    return true;
}

int32_t read_document_value(cPackage& package, const wchar_t*& at, cPackageDocument& document, int32_t failure)
{
    _guardchar<wchar_t> path;
    if (!read_final_quoted(package, at, path))
        return SCENARIO_BAD_TEXT;
    return compile_document(package, path.Text(), document) ? SCENARIO_OK : failure;
}

int32_t read_readme(cPackage& package, const wchar_t*& at)
{
    _guardchar<wchar_t> path;
    if (!scenario_read_quoted(package, at, path))
        return SCENARIO_BAD_TEXT;
    bool accept = false;
    int next = continue_after_comma(at);
    if (next == LINE_BROKEN)
        return SCENARIO_BAD_TEXT;
    if (next == LINE_GOES_ON && !scenario_line_ends(at)) {
        accept = scenario_skip_word(at, L"yes");
        if (!accept && !scenario_skip_word(at, L"no"))
            return SCENARIO_BAD_TEXT;
        scenario_skip_blanks(at);
        if (!scenario_line_ends(at))
            return SCENARIO_BAD_TEXT;
    }
    package.readme_accept = accept;
    return compile_document(package, path.Text(), package.readme) ? SCENARIO_OK : SCENARIO_BAD_README;
}

// The name reference and '=' that open a [Menu] or [Run] line, and the
// entry, appended to list once they are read.
template <class T>
int32_t read_entry_name(cPackage& package, const wchar_t*& at, _guardchar<wchar_t>& name_key, cLinkedList<T>& list,
                        T*& entry)
{
    if (!scenario_read_reference(package, at, name_key))
        return SCENARIO_BAD_TEXT;
    if (!scenario_expect_equals(at))
        return SCENARIO_SYNTAX;
    entry = list_append(list);
    return entry ? SCENARIO_OK : SCENARIO_SYNTAX;
}

// The [Software] keys, in the order they are matched.
enum {
    KEY_CODENAME, KEY_NAME, KEY_PUBLISHER, KEY_COPYRIGHT, KEY_GROUP, KEY_FOLDER, KEY_VERSION,
    KEY_PUBLISH_URL, KEY_SUPPORT_URL, KEY_UPDATES_URL, KEY_WELCOME, KEY_README, KEY_EULA, KEY_ICON,
    SOFTWARE_KEY_COUNT
};
const wchar_t* const software_keys[SOFTWARE_KEY_COUNT] = {
    L"codename", L"name", L"publisher", L"copyright", L"group", L"folder", L"version",
    L"publish_URL", L"support_URL", L"updates_URL", L"welcome", L"readme", L"eula", L"icon"};

// A code name names one record and one Windows entry.
int32_t code_name_refused(cPackage& package)
{
    return scenario_fail(package, SCENARIO_BAD_TEXT,
                         L"A code name is not empty and holds neither '/' nor '\\', nor a blank at either end");
}

}  // namespace

int32_t scenario_read_general(cPackage& package, const wchar_t* line)
{
    const wchar_t* at = line;
    if (!scenario_skip_word(at, L"langs"))
        return SCENARIO_UNKNOWN_KEY;
    if (!scenario_expect_equals(at))
        return SCENARIO_SYNTAX;
    if (!*at)
        return SCENARIO_NO_LANGUAGE;
    for (;;) {
        int32_t language = package_language_from_code(at);
        if (language < 0)
            return SCENARIO_BAD_LANGUAGE;
        if (!tree_find_node(package.language_strings, language)) {
            cPackageStrings* table = tree_get_or_add(package.language_strings, language);
            if (!table)
                return SCENARIO_BAD_LANGUAGE;
            table->depth_limit = 1024;
        }
        at += 3;
        scenario_skip_blanks(at);
        if (scenario_line_ends(at))
            return SCENARIO_OK;
    }
}

int32_t scenario_read_software(cPackage& package, const wchar_t* line)
{
    const wchar_t* at = line;
    int key = 0;
    while (key < SOFTWARE_KEY_COUNT && !scenario_skip_word(at, software_keys[key]))
        ++key;
    if (key == SOFTWARE_KEY_COUNT)
        return SCENARIO_UNKNOWN_KEY;
    if (!scenario_expect_equals(at))
        return SCENARIO_SYNTAX;
    _guardchar<wchar_t> value;
    switch (key) {
    case KEY_CODENAME: case KEY_NAME: case KEY_PUBLISHER: case KEY_COPYRIGHT: case KEY_GROUP: case KEY_FOLDER:
        if (!read_final_quoted(package, at, value))
            return SCENARIO_BAD_TEXT;
        if (key == KEY_CODENAME && !package_code_name_valid(value.Text()))
            return code_name_refused(package);
        if (!set_string(package.strings, software_keys[key], value))
            return SCENARIO_BAD_TEXT;
        return SCENARIO_OK;
    case KEY_VERSION:
        if (!read_final_quoted(package, at, value))
            return SCENARIO_BAD_TEXT;
        return read_version(package, value.Text());
    case KEY_PUBLISH_URL: case KEY_SUPPORT_URL: case KEY_UPDATES_URL: {
        if (!read_final_quoted(package, at, value))
            return SCENARIO_BAD_TEXT;
        _guardchar<wchar_t>& url = key == KEY_PUBLISH_URL   ? package.publisher_url
                                   : key == KEY_SUPPORT_URL ? package.support_url
                                                            : package.updates_url;
        url.Assign(value.Text());
        return SCENARIO_OK;
    }
    case KEY_WELCOME:
        return read_document_value(package, at, package.welcome, SCENARIO_BAD_WELCOME);
    case KEY_README:
        return read_readme(package, at);
    case KEY_EULA:
        return read_document_value(package, at, package.licence, SCENARIO_BAD_LICENCE);
    default: {
        _guardchar<wchar_t> folder_key, path;
        if (!scenario_read_folder_item(package, at, folder_key, path))
            return SCENARIO_BAD_ITEM;
        if (!scenario_line_ends(at))
            return SCENARIO_SYNTAX;
        package.icon_folder_key.Assign(folder_key.Text());
        package.icon_path.Assign(path.Text());
        return SCENARIO_OK;
    }
    }
}

int32_t scenario_read_strings(cPackage& package, const wchar_t* line)
{
    const wchar_t* end = line;
    while (*end && *end != L' ' && *end != L'\t' && *end != L'\r' && *end != L'\n' && *end != L'=')
        ++end;
    int32_t language = -1;
    const wchar_t* key = line;
    for (const wchar_t* dot = line; dot < end; ++dot) {
        if (*dot != L'.')
            continue;
        if (dot - line != 3 || language >= 0 || (language = package_language_from_code(line)) < 0)
            return SCENARIO_BAD_LANGUAGE;
        key = dot + 1;
    }
    if (key == end)
        return SCENARIO_BAD_KEY;
    _guardchar<wchar_t> key_text, value;
    key_text.AssignN(key, int32_t(end - key));
    int32_t key_bytes = utf8_length_of_wstr(key_text.Text(), -1);
    if (key_bytes > package_key_limit)
        return scenario_fail(package, SCENARIO_BAD_KEY, L"The key is %d bytes long in UTF-8: a package holds at most %d",
                             key_bytes, package_key_limit);
    if (key_text.Text() && wstr_compare(key_text.Text(), package_pgm_key) == 0)
        return scenario_fail(package, SCENARIO_BAD_KEY,
                             L"The string \"pgm\" names the install folder, which the installer sets");
    const wchar_t* at = end;
    if (!key_text.Text() || !scenario_expect_equals(at) || !read_final_quoted(package, at, value))
        return SCENARIO_BAD_TEXT;
    // The same string as [Software] "codename", in any language.
    if (wstr_compare(key_text.Text(), software_keys[KEY_CODENAME]) == 0 && !package_code_name_valid(value.Text()))
        return code_name_refused(package);
    cPackageStrings* table = &package.strings;
    if (language >= 0 && !(table = tree_find_value(package.language_strings, language)))
        return SCENARIO_BAD_LANGUAGE;
    return set_string(*table, key_text.Text(), value) ? SCENARIO_OK : SCENARIO_BAD_TEXT;
}

int32_t scenario_read_menu(cPackage& package, const wchar_t* line)
{
    const wchar_t* at = line;
    _guardchar<wchar_t> name_key;
    cPackageMenuEntry* entry;
    int32_t result = read_entry_name(package, at, name_key, package.menu, entry);
    if (result != SCENARIO_OK)
        return result;
    if (!scenario_read_folder_item(package, at, entry->target_folder_key, entry->target_path))
        return SCENARIO_BAD_ITEM;
    if (*at != L',')
        return SCENARIO_SYNTAX;
    ++at;
    scenario_skip_blanks(at);
    if (!scenario_read_folder_item(package, at, entry->icon_folder_key, entry->icon_path))
        return SCENARIO_BAD_ITEM;
    int next = continue_after_comma(at);
    if (next == LINE_GOES_ON && *at >= L'0' && *at <= L'8') {
        entry->flag = uint8_t(*at++ - L'0');
        scenario_skip_blanks(at);
    }
    if (next == LINE_GOES_ON && (next = continue_after_comma(at)) == LINE_GOES_ON) {
        if (!scenario_read_reference(package, at, entry->description_key))
            return SCENARIO_BAD_TEXT;
        if ((next = continue_after_comma(at)) == LINE_GOES_ON) {
            if (!scenario_read_reference(package, at, entry->arguments_key))
                return SCENARIO_BAD_TEXT;
            next = scenario_line_ends(at) ? LINE_ENDS : LINE_BROKEN;
        }
    }
    if (next == LINE_BROKEN)
        return SCENARIO_SYNTAX;
    entry->name_key.Assign(name_key.Text());
    return SCENARIO_OK;
}

int32_t scenario_read_settings(cPackage& package, const wchar_t* line)
{
    const wchar_t* at = line;
    _guardchar<wchar_t> name, value;
    if (!scenario_read_quoted(package, at, name) || name.IsEmpty() || !scenario_expect_equals(at))
        return SCENARIO_SYNTAX;
    wchar_t type = *at;
    if (type != L'w' && type != L'd' && type != L'q' && type != L't')
        return SCENARIO_SYNTAX;
    ++at;
    scenario_skip_blanks(at);
    if (*at != L',')
        return SCENARIO_SYNTAX;
    ++at;
    if (!scenario_read_quoted(package, at, value))
        return SCENARIO_BAD_TEXT;
    if (!scenario_line_ends(at))
        return SCENARIO_SYNTAX;
    cPackageSetting* setting = list_append(package.settings);
    if (!setting || str_from_wstr_utf8(name.Text(), -1, setting->name) <= 0)
        return SCENARIO_SYNTAX;
    if (type == L't') {
        // The format has no empty setting value.
        utf8buf_from_wstr(value.Text(), -1, setting->value);
        return setting->value.Count() ? SCENARIO_OK : SCENARIO_BAD_TEXT;
    }
    int64_t number = parse_int64_w(value.Text());
    if (number == -1)
        return SCENARIO_BAD_NUMBER;
    int32_t size = type == L'w' ? 2 : type == L'd' ? 4 : 8;
    setting->value.Resize(size);
    if (!setting->value.Data())
        return SCENARIO_BAD_NUMBER;
    for (int32_t i = 0; i < size; ++i)
        setting->value[i] = uint8_t(uint64_t(number) >> (8 * i));
    return SCENARIO_OK;
}

int32_t scenario_read_run(cPackage& package, const wchar_t* line)
{
    const wchar_t* at = line;
    _guardchar<wchar_t> name_key;
    cPackageRunEntry* entry;
    int32_t result = read_entry_name(package, at, name_key, package.runs, entry);
    if (result != SCENARIO_OK)
        return result;
    entry->name_key.Assign(name_key.Text());
    if (!scenario_read_folder_item(package, at, entry->folder_key, entry->path))
        return SCENARIO_BAD_ITEM;
    int next = continue_after_comma(at);
    if (next == LINE_GOES_ON && !scenario_line_ends(at)) {
        entry->ticked = scenario_skip_word(at, L"yes");
        if (!entry->ticked && !scenario_skip_word(at, L"no"))
            return SCENARIO_SYNTAX;
        scenario_skip_blanks(at);
        if ((next = continue_after_comma(at)) == LINE_GOES_ON) {
            if (!scenario_read_reference(package, at, entry->arguments_key))
                return SCENARIO_BAD_TEXT;
            next = scenario_line_ends(at) ? LINE_ENDS : LINE_BROKEN;
        }
    }
    return next == LINE_BROKEN ? SCENARIO_SYNTAX : SCENARIO_OK;
}

int32_t scenario_read_deprecates(cPackage& package, const wchar_t* line)
{
    const wchar_t* at = line;
    _guardchar<wchar_t> code_name;
    if (!scenario_read_quoted(package, at, code_name) || code_name.IsEmpty() || !scenario_expect_equals(at))
        return SCENARIO_SYNTAX;
    int64_t major;
    if (*at == L'*') {
        ++at;
        scenario_skip_blanks(at);
        if (!scenario_line_ends(at))
            return SCENARIO_SYNTAX;
        major = 65535;
    } else if (*at == L'"') {
        _guardchar<wchar_t> number;
        if (!scenario_read_quoted(package, at, number))
            return SCENARIO_BAD_TEXT;
        major = parse_int64_w(number.Text());
        if (major < 0 || major > 65535)
            return SCENARIO_BAD_NUMBER;
    } else {
        return SCENARIO_BAD_TEXT;
    }
    cPackageReplacedProduct* product = list_append(package.replaced);
    if (!product)
        return SCENARIO_SYNTAX;
    product->code_name.Assign(code_name.Text());
    product->major = uint16_t(major);
    return SCENARIO_OK;
}
