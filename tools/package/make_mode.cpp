#include "tools/package/make_mode.h"

#include <string.h>

#include "base/codepage.h"
#include "base/date_time.h"
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

// The outcome, and on a fault its cause in words where the reader gave one.
int32_t log_scenario_result(cMakeLog& log, int32_t code, int32_t line, const cPackage& package)
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
    if (!package.scenario_fault.IsEmpty()) {
        _guardchar<char> cause;
        str_from_wstr_utf8(package.scenario_fault.Text(), -1, cause);
        log.Print(" - %s\n", cause.Text() ? cause.Text() : "");
    }
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
        log.Print("(e) Unable to create target file!\n");
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

// Writes and checks the installer beside the target, then gives it the
// target's name; on failure nothing is left. self is the bare manager the
// image was made from.
int32_t save_installer(const wchar_t* target, _typebuf<uint8_t>& image, uint32_t block_offset, cFileIOTarget& self,
                       cPackage& package, cMakeLog& log)
{
    _guardchar<wchar_t> temporary;
    if (!path_format(temporary, L"%s.tmp", target)) {
        log.Print("(e) Unable to create target file!\n");
        return MAKE_SAVE_FAILED;
    }
    uint32_t package_offset = uint32_t(image.Count());
    uint8_t block[command_block_size];
    memcpy(block, image.Data() + block_offset, command_block_size);
    int32_t result = write_installer(temporary.Text(), image, package, log);
    // The model is written: the check reads the package back without it.
    package.Clear();
    if (result == MAKE_DONE)
        result = check_installer(temporary.Text(), package_offset, block, self, log);
    if (result == MAKE_DONE && !file_replace(temporary.Text(), target)) {
        log.Print("(e) Unable to create target file!\n");
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
    int32_t result = log_scenario_result(log, code, line, package);
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
