#include "tools/package/make_mode.h"

#include <string.h>
#include <windows.h>

#include "base/codepage.h"
#include "base/date_time.h"
#include "base/file_identity.h"
#include "base/file_io.h"
#include "base/file_ops.h"
#include "base/mem_io_target.h"
#include "base/path.h"
#include "base/string_convert.h"
#include "tools/package/installer_version.h"
#include "tools/package/make_installer.h"
#include "tools/package/make_log.h"
#include "tools/package/make_targets.h"
#include "tools/package/package_format.h"
#include "tools/package/package_queries.h"
#include "tools/package/scenario_reader.h"
#include "tools/shell/self_command_block.h"

namespace {

// A fault's cause in words where the reader gave none: what its code means.
const char* scenario_result_words(int32_t code)
{
    switch (code) {
    case SCENARIO_NO_SOURCE: return "The scenario cannot be opened or read";
    case SCENARIO_AFTER_HEADER: return "Only blanks or a comment may follow a section header";
    case SCENARIO_NO_SECTION: return "A line before the first section header";
    case SCENARIO_UNKNOWN_KEY: return "A key that the section does not know";
    case SCENARIO_SYNTAX: return "A missing '=' or ',', or more text where the line should end";
    case SCENARIO_BAD_TEXT: return "A quoted text or a reference is missing or malformed";
    case SCENARIO_BAD_NUMBER: return "A number cannot be read or is out of range";
    case SCENARIO_NO_LANGUAGE: return "No language is declared (\"langs\" in [General])";
    case SCENARIO_NO_CODENAME: return "No code name (\"codename\" in [Software])";
    case SCENARIO_NO_LICENCE: return "No licence document (\"eula\" in [Software])";
    case SCENARIO_LICENCE_LANGUAGE: return "The licence document lacks a declared language";
    case SCENARIO_WELCOME_LANGUAGE: return "The welcome document lacks a declared language";
    case SCENARIO_README_LANGUAGE: return "The read-me document lacks a declared language";
    case SCENARIO_STRING_LANGUAGE: return "A string of one language is missing in another declared language";
    case SCENARIO_BAD_LANGUAGE: return "A language code that is not known, or a language that is not declared";
    case SCENARIO_BAD_KEY: return "A [Strings] key that is empty";
    case SCENARIO_BAD_VERSION: return "The version is malformed";
    case SCENARIO_BAD_WELCOME: return "The welcome document cannot be compiled or loaded";
    case SCENARIO_BAD_README: return "The read-me document cannot be compiled or loaded";
    case SCENARIO_BAD_LICENCE: return "The licence document cannot be compiled or loaded";
    case SCENARIO_BAD_ITEM: return "A folder and path, or a target path, is malformed";
    case SCENARIO_BAD_PLATFORM: return "An [Install] line begins with 'x' but not with \"x32.\" or \"x64.\"";
    case SCENARIO_BAD_INSTALL_LINE: return "An [Install] line begins with neither '\"' nor 'x'";
    case SCENARIO_BAD_SOURCE: return "A source file cannot be packed";
    case SCENARIO_BAD_ACCESS: return "The access digits of an [Install] line are malformed";
    default: return nullptr;
    }
}

// The outcome, and on a fault its cause in words on the next line: the
// reader's where it gave one, else what the code means, with the scenario's
// path where the fault is the whole file's (line -1, or unread).
int32_t log_scenario_result(cMakeLog& log, int32_t code, int32_t line, const cPackage& package,
                            const wchar_t* scenario_path)
{
    switch (code) {
    case SCENARIO_OK:
        log.Print("OK!\n");
        return MAKE_DONE;
    case SCENARIO_NO_SOURCE:
        log.Print("FAIL (No source file)\n");
        break;
    case SCENARIO_UNKNOWN_SECTION:
        log.Print("ERROR:\n - at line %d: Unknown section!\n", line);
        break;
    default:
        log.Print("ERROR:\n - at line %d: error code %d!\n", line, code);
    }
    _guardchar<char> cause, path;
    str_from_wstr_utf8(package.scenario_fault.Text(), -1, cause);
    str_from_wstr_utf8(scenario_path, -1, path);
    const char* words = scenario_result_words(code);
    if (!cause.IsEmpty())
        log.Print(" - %s\n", cause.Text());
    else if (words && (line < 0 || code == SCENARIO_NO_SOURCE))
        log.Print(" - %s: %s\n", words, path.Text() ? path.Text() : "");
    else if (words)
        log.Print(" - %s\n", words);
    return MAKE_SCENARIO_FAILED;
}

// Which encoding the scenario was read in; the ANSI code page, taken when
// a byte is not UTF-8, garbles any UTF-8 text elsewhere in the file, so
// the line of that byte is named. Lines count from 0, as in the errors.
void log_scenario_encoding(cMakeLog& log, const cScenarioEncoding& encoding)
{
    switch (encoding.kind) {
    case SCENARIO_TEXT_UTF8:
        log.Print("(i) Scenario read as UTF-8\n");
        break;
    case SCENARIO_TEXT_UTF8_MARKED:
        log.Print("(i) Scenario read as UTF-8 (byte-order mark)\n");
        break;
    case SCENARIO_TEXT_UTF16_LE:
        log.Print("(i) Scenario read as UTF-16 little-endian (byte-order mark)\n");
        break;
    case SCENARIO_TEXT_UTF16_BE:
        log.Print("(i) Scenario read as UTF-16 big-endian (byte-order mark)\n");
        break;
    case SCENARIO_TEXT_ANSI:
        log.Print("(i) Scenario read as ANSI code page %d: line %d holds the first byte that is not UTF-8\n",
                  codepage_default_ansi(), encoding.ansi_line);
        break;
    }
}

// The package's keys that place things must be defined in every language,
// or the installer refuses the package.
bool keys_defined(const cPackage& package, cMakeLog& log)
{
    const wchar_t* key = package_first_undefined_key(package);
    if (!key)
        return true;
    _guardchar<char> name;
    str_from_wstr_utf8(key, -1, name);
    log.Print("(e) Key \"%s\" is not defined in every language!\n", name.Text() ? name.Text() : "");
    return false;
}

// The target's failure, with the file that make could not create or put in
// place and the cause on the next line: what stands there now, else what
// Windows said (error, read right after the failure).
void log_unwritable_target(cMakeLog& log, const wchar_t* path, uint32_t error)
{
    const char* cause = nullptr;
    uint32_t kind = path_get_kind(path);
    _guardchar<wchar_t> folder;
    if (kind != PATH_KIND_MISSING && kind != PATH_KIND_FILE)
        cause = "A folder or another object that is not a file stands there";
    else if (!parent_folder_of(path, folder) || path_get_kind(folder.Text()) != PATH_KIND_FOLDER)
        cause = "Its folder does not exist";
    else if (error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT)
        cause = "Writing there is refused (no permission, a read-only file, or a program that holds it)";
    else if (error == ERROR_FILENAME_EXCED_RANGE)
        cause = "Its path is too long";
    _guardchar<char> named;
    str_from_wstr_utf8(path, -1, named);
    log.Print("(e) Unable to create target file!\n");
    if (cause)
        log.Print(" - %s: \"%s\"\n", cause, named.Text() ? named.Text() : "");
    else
        log.Print(" - Windows refuses it (error %u): \"%s\"\n", error, named.Text() ? named.Text() : "");
}

bool read_whole(cFileIOTarget& file, _typebuf<uint8_t>& bytes)
{
    uint64_t size = file.GetSize();
    bytes.Resize(size > INT32_MAX ? 0 : int32_t(size));
    return bytes.Data() && file.Seek(0) && file.ReadExact(bytes.Data(), uint32_t(size));
}

// The installer's first part, then the package. The image is released as
// soon as it is written: the package's block needs the room.
int32_t write_installer(const wchar_t* path, _typebuf<uint8_t>& image, cPackage& package, cMakeLog& log)
{
    cFileIO file;
    if (!file.Create(path, FILE_MODE_WRITE)) {
        log_unwritable_target(log, path, GetLastError());
        return MAKE_SAVE_FAILED;
    }
    bool written = file.WriteExact(image.Data(), uint32_t(image.Count()));
    image.Clear();
    if (!written) {
        log.Print("(e) Save (1) failed!\n");
        return MAKE_SAVE_FAILED;
    }
    if (!write_package(&file, package)) {
        log.Print("(e) Save (2) failed!\n");
        return MAKE_SAVE_FAILED;
    }
    return MAKE_DONE;
}

// Undoing the written installer's records gives "self" back byte for byte.
bool undoes_to_self(const uint8_t* block, const wchar_t* path, cFileIOTarget& self)
{
    cMemIOTarget clean;
    uint64_t size = self.GetSize();
    if (!write_clean_copy_of(block, path, &clean) || clean.GetSize() != size || !clean.Seek(0) || !self.Seek(0))
        return false;
    _typebuf<uint8_t> ours{65536}, theirs{65536};
    if (!ours.Data() || !theirs.Data())
        return false;
    for (uint64_t at = 0; at < size;) {
        uint32_t count = size - at < 65536 ? uint32_t(size - at) : 65536;
        if (!clean.ReadExact(ours.Data(), count) || !self.ReadExact(theirs.Data(), count) ||
            memcmp(ours.Data(), theirs.Data(), count) != 0)
            return false;
        at += count;
    }
    return true;
}

// The written installer as the installer and its clean copy will read it.
int32_t check_installer(const wchar_t* path, uint32_t package_offset, const uint8_t* block, cFileIOTarget& self,
                        cMakeLog& log)
{
    if (!undoes_to_self(block, path, self)) {
        log.Print("(e) The installer's records do not give back \"self\"!\n");
        return MAKE_SAVE_FAILED;
    }
    cFileIO file;
    cPackage again;
    if (!file.Open(path, FILE_MODE_READ) || !file.Seek(package_offset) || !read_package(again, &file)) {
        log.Print("(e) The written package does not read back!\n");
        return MAKE_SAVE_FAILED;
    }
    if (!make_targets_sound(again, nullptr)) {
        log.Print("(e) Files of the written package do not go where the installer can put them!\n");
        return MAKE_SCENARIO_FAILED;
    }
    return MAKE_DONE;
}

bool is_same_file(const cFileIdentity& identity, const wchar_t* path)
{
    cFileIdentity other;
    return path && path_file_identity(path, other) && !(identity < other) && !(other < identity);
}

// Whether path, which make is about to write, is a file that it read (its
// own program file, the scenario, a document, a picture, a product file),
// by what the file system says each is, so that another spelling (letter
// case, a short name, a link) is caught too; the log names it. A path that
// names nothing yet is none of them.
bool writes_over_input(const wchar_t* path, const char* what, const cFileIO& self, const cPackage& package,
                       cMakeLog& log)
{
    cFileIdentity written;
    if (!path_file_identity(path, written))
        return false;
    const wchar_t* input = is_same_file(written, self.Path()) ? self.Path() : nullptr;
    for (auto* node = package.scenario_inputs.first; node && !input; node = node->next)
        if (is_same_file(written, node->element.Text()))
            input = node->element.Text();
    if (!input)
        return false;
    _guardchar<char> named, read;
    str_from_wstr_utf8(path, -1, named);
    str_from_wstr_utf8(input, -1, read);
    log.Print("(e) The %s \"%s\" is a file that make reads: \"%s\"!\n", what, named.Text() ? named.Text() : "",
              read.Text() ? read.Text() : "");
    return true;
}

// Writes and checks the installer beside the target, then gives it the
// target's name; on failure nothing is left, and neither path is written
// when it is a file make read. self is the bare manager the image was made
// from.
int32_t save_installer(const wchar_t* target, _typebuf<uint8_t>& image, uint32_t block_offset, cFileIO& self,
                       cPackage& package, cMakeLog& log)
{
    _guardchar<wchar_t> temporary;
    if (!path_format(temporary, L"%s.tmp", target)) {
        log_unwritable_target(log, target, ERROR_FILENAME_EXCED_RANGE);
        return MAKE_SAVE_FAILED;
    }
    if (writes_over_input(target, "target", self, package, log) ||
        writes_over_input(temporary.Text(), "target's temporary file", self, package, log))
        return MAKE_SAVE_FAILED;
    uint32_t package_offset = uint32_t(image.Count());
    uint8_t block[command_block_size];
    memcpy(block, image.Data() + block_offset, command_block_size);
    int32_t result = write_installer(temporary.Text(), image, package, log);
    // The model is written: the check reads the package back without it.
    package.Clear();
    if (result == MAKE_DONE)
        result = check_installer(temporary.Text(), package_offset, block, self, log);
    if (result == MAKE_DONE && !file_replace(temporary.Text(), target)) {
        log_unwritable_target(log, target, GetLastError());
        result = MAKE_SAVE_FAILED;
    }
    if (result != MAKE_DONE) {
        file_delete(temporary.Text());
        return result;
    }
    log.Print("(i) Saved SOPKG\n");
    return MAKE_DONE;
}

// A path as typed on the command line, relative to the current folder,
// made absolute: the file layer takes a relative name starting with a
// letter as a long-path name. An absolute path stays as it is.
bool absolute_path_of(const wchar_t* path, _guardchar<wchar_t>& out)
{
    if (!path || !path[0])
        return false;
    if (path_is_absolute(path)) {
        out.Assign(path);
        return !out.IsEmpty();
    }
    DWORD capacity = GetFullPathNameW(path, 0, nullptr, nullptr);
    _typebuf<wchar_t> full(int32_t(capacity) + 1);
    if (capacity == 0 || !full.Data() || GetFullPathNameW(path, capacity + 1, full.Data(), nullptr) >= capacity + 1)
        return false;
    out.Assign(full.Data());
    path_from_native(out.Buffer());
    return !out.IsEmpty();
}

}  // namespace

int32_t run_make_mode(const wchar_t* own_path, const wchar_t* typed_scenario_path, const wchar_t* typed_target_path)
{
    _guardchar<wchar_t> scenario, target;
    if (!absolute_path_of(typed_scenario_path, scenario) || !absolute_path_of(typed_target_path, target))
        return MAKE_SCENARIO_FAILED;
    const wchar_t* scenario_path = scenario.Text();
    const wchar_t* target_path = target.Text();
    _guardchar<wchar_t> log_path;
    path_format(log_path, L"%s.log", scenario_path);
    cMakeFileLog log(log_path.Text());
    cPackage package;
    log.Print("(i) Loading scenario... ");
    int32_t line = 0;
    cScenarioEncoding encoding;
    int32_t code = read_scenario(scenario_path, package, line, &encoding);
    int32_t result = log_scenario_result(log, code, line, package, scenario_path);
    log_scenario_encoding(log, encoding);
    if (result != MAKE_DONE)
        return result;
    if (!keys_defined(package, log) || !make_targets_sound(package, &log))
        return MAKE_SCENARIO_FAILED;
    cFileIO own;
    if (!own.Open(own_path, FILE_MODE_READ)) {
        log.Print("(e) Open \"self\" failed!\n");
        return MAKE_SCENARIO_FAILED;
    }
    int64_t block_offset = find_self_command_block(&own);
    if (block_offset < 0) {
        log.Print("(e) No iCmd section in \"self\"!\n");
        return MAKE_NOT_A_MANAGER;
    }
    log.Print("(i) Opened \"self\" with iCmd at 0x%X\n", uint32_t(block_offset));
    _typebuf<uint8_t> bare, image;
    if (!read_whole(own, bare)) {
        log.Print("(e) Unable to read pelmaro!\n");
        return MAKE_SAVE_FAILED;
    }
    result = make_installer_image(bare.Data(), uint32_t(bare.Count()), uint32_t(block_offset), package,
                                  installer_day_number(time_now_unix()), image, log);
    // The check compares with the own file again: no copy stays in memory.
    bare.Clear();
    if (result != MAKE_DONE)
        return result;
    return save_installer(target_path, image, uint32_t(block_offset), own, package, log);
}
