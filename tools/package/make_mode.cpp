#include "tools/package/make_mode.h"

#include <string.h>

#include "base/date_time.h"
#include "base/file_io.h"
#include "base/file_ops.h"
#include "base/mem_io_target.h"
#include "base/path.h"
#include "base/string_convert.h"
#include "tools/package/installer_version.h"
#include "tools/package/make_installer.h"
#include "tools/package/make_log.h"
#include "tools/package/package_format.h"
#include "tools/package/package_queries.h"
#include "tools/package/scenario_reader.h"
#include "tools/shell/self_command_block.h"

namespace {

int32_t log_scenario_result(cMakeLog& log, int32_t code, int32_t line)
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
    case SCENARIO_EMPTY_SOURCE:
        log.Print("ERROR:\n - at line %d: Empty source file, which a package cannot hold!\n", line);
        break;
    case SCENARIO_RESERVED_KEY:
        log.Print("ERROR:\n - at line %d: The string \"pgm\" names the install folder, which the installer "
                  "sets!\n", line);
        break;
    default:
        log.Print("ERROR:\n - at line %d: error code %d!\n", line, code);
    }
    return MAKE_SCENARIO_FAILED;
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

// The files of a read package resolve to distinct paths in each language
// on each Windows, as the installer will ask.
bool files_installable(cPackage& package)
{
    if (!set_pgm_folder(package.strings, L"C:/Program Files/Product"))
        return false;
    for (auto* language = tree_first_node(package.language_strings); language; language = tree_next_node(language))
        for (int platform = 0; platform < 2; ++platform) {
            bool windows64 = platform == 1;
            cLinkedList<cInstallItem> items;
            if (!package.SetLanguage(language->key) || !build_install_file_list_for(package, windows64, items))
                return false;
        }
    return true;
}

bool read_whole(cFileIOTarget& file, _typebuf<uint8_t>& bytes)
{
    uint64_t size = file.GetSize();
    bytes.Resize(size > INT32_MAX ? 0 : int32_t(size));
    return bytes.Data() && file.Seek(0) && file.ReadExact(bytes.Data(), uint32_t(size));
}

int32_t write_installer(const wchar_t* path, const _typebuf<uint8_t>& image, cPackage& package, cMakeLog& log)
{
    cFileIO file;
    if (!file.Create(path, FILE_MODE_WRITE)) {
        log.Print("(e) Unable to create target file!\n");
        return MAKE_SAVE_FAILED;
    }
    if (!file.WriteExact(image.Data(), uint32_t(image.Count()))) {
        log.Print("(e) Save (1) failed!\n");
        return MAKE_SAVE_FAILED;
    }
    if (!write_package(&file, package)) {
        log.Print("(e) Save (2) failed!\n");
        return MAKE_SAVE_FAILED;
    }
    return MAKE_DONE;
}

// The written installer as the installer and its clean copy will read it.
int32_t check_installer(const wchar_t* path, const _typebuf<uint8_t>& image, const _typebuf<uint8_t>& bare,
                        uint32_t block_offset, cMakeLog& log)
{
    cFileIO file;
    cPackage again;
    if (!file.Open(path, FILE_MODE_READ) || !file.Seek(uint64_t(bare.Count())) || !read_package(again, &file)) {
        log.Print("(e) The written package does not read back!\n");
        return MAKE_SAVE_FAILED;
    }
    if (!files_installable(again)) {
        log.Print("(e) Files of the package do not go to distinct paths in every language!\n");
        return MAKE_SCENARIO_FAILED;
    }
    cMemIOTarget clean;
    _typebuf<uint8_t> copy;
    bool undone = write_clean_copy_of(image.Data() + block_offset, path, &clean) && clean.CopyTo(copy) &&
                  copy.Count() == bare.Count() && memcmp(copy.Data(), bare.Data(), size_t(bare.Count())) == 0;
    if (!undone) {
        log.Print("(e) The installer's records do not give back \"self\"!\n");
        return MAKE_SAVE_FAILED;
    }
    return MAKE_DONE;
}

// Writes and checks the installer beside the target, then gives it the
// target's name; on failure nothing is left.
int32_t save_installer(const wchar_t* target, const _typebuf<uint8_t>& image, const _typebuf<uint8_t>& bare,
                       uint32_t block_offset, cPackage& package, cMakeLog& log)
{
    _guardchar<wchar_t> temporary;
    if (!path_format(temporary, L"%s.tmp", target)) {
        log.Print("(e) Unable to create target file!\n");
        return MAKE_SAVE_FAILED;
    }
    int32_t result = write_installer(temporary.Text(), image, package, log);
    // The model is written: its members need not share memory with the
    // package read back.
    package.Clear();
    if (result == MAKE_DONE)
        result = check_installer(temporary.Text(), image, bare, block_offset, log);
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
    int32_t code = read_scenario(scenario_path, package, line);
    int32_t result = log_scenario_result(log, code, line);
    if (result != MAKE_DONE)
        return result;
    if (!keys_defined(package, log))
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
    if (result != MAKE_DONE)
        return result;
    return save_installer(target_path, image, bare, uint32_t(block_offset), package, log);
}
