#include "tools/package/make_targets.h"

#include "base/path.h"
#include "base/string_convert.h"
#include "tools/install/folder_strings.h"
#include "tools/install/product_folders.h"
#include "tools/package/make_log.h"
#include "tools/package/package_queries.h"

namespace {

// An entry's target as its line wrote it: $key "path", or for a quoted
// folder (a generated key) "folder" "path".
void describe_target(const cPackage& package, const cPackageFileEntry& entry, _guardchar<char>& out)
{
    const wchar_t* key = entry.folder_key.Text() ? entry.folder_key.Text() : L"";
    const wchar_t* literal = key[0] == L'.' ? package.GetString(key) : nullptr;
    const wchar_t* path = entry.path.Text() ? entry.path.Text() : L"";
    _guardchar<wchar_t> text;
    // Too long to print whole: the path alone, which the log cuts.
    if (!path_format(text, literal ? L"\"%s\" \"%s\"" : L"$%s \"%s\"", literal ? literal : key, path))
        text.Assign(path);
    str_from_wstr_utf8(text.Text() ? text.Text() : L"", -1, out);
}

void log_fault(const cPackage& package, const cInstallTargetFault& fault, cMakeLog& log)
{
    _guardchar<char> target, other, resolved;
    describe_target(package, *fault.entry, target);
    if (fault.other)
        describe_target(package, *fault.other, other);
    str_from_wstr_utf8(fault.target.Text() ? fault.target.Text() : L"", -1, resolved);
    switch (fault.kind) {
    case INSTALL_TARGETS_COLLIDE:
        log.Print("(e) Lines %d and %d install one file: %s and %s!\n", fault.other->line, fault.entry->line,
                  other.Text(), target.Text());
        break;
    case INSTALL_TARGET_IN_FOLDER:
        log.Print("(e) Line %d installs %s into the file that line %d installs: %s!\n", fault.entry->line,
                  target.Text(), fault.other->line, other.Text());
        break;
    case INSTALL_TARGET_REPLACEMENT:
        log.Print("(e) Line %d installs %s, the temporary or backup name of line %d's %s!\n", fault.entry->line,
                  target.Text(), fault.other->line, other.Text());
        break;
    case INSTALL_TARGET_IN_ROOT:
        log.Print("(e) Line %d installs %s into the root of a drive or share: %s!\n", fault.entry->line, target.Text(),
                  resolved.Text());
        break;
    case INSTALL_TARGET_OUTSIDE:
        log.Print("(e) Line %d installs %s outside its folder, or past the longest path: %s!\n", fault.entry->line,
                  target.Text(), resolved.Text());
        break;
    default:
        log.Print("(e) Line %d installs %s, which does not resolve!\n", fault.entry->line, target.Text());
    }
}

// The start-up's check of the folders the files go to besides the install
// folder, in the current language: a fault is logged with its line.
bool folder_strings_sound(const cPackage& package, const cProductFolders& folders, cMakeLog* log)
{
    const cPackageFileEntry* entry = nullptr;
    const wchar_t* folder = nullptr;
    uint32_t kind = check_folder_strings(package, folders, &entry, &folder);
    if (kind == FOLDER_STRINGS_SOUND)
        return true;
    if (log) {
        _guardchar<char> target, named;
        describe_target(package, *entry, target);
        str_from_wstr_utf8(folder ? folder : L"", -1, named);
        if (kind == FOLDER_STRING_OF_SYSTEM)
            log->Print("(e) Line %d installs %s into a folder of the system or of the user: %s!\n", entry->line,
                      target.Text(), named.Text());
        else
            log->Print("(e) Line %d installs %s into a folder whose name ends in a dot or blank: %s!\n",
                       entry->line, target.Text(), named.Text());
    }
    return false;
}

}  // namespace

bool make_targets_sound(cPackage& package, cMakeLog* log)
{
    int32_t language = package.current_language;
    cProductFolders folders;
    bool sound = true;
    for (auto* table = tree_first_node(package.language_strings); table && sound; table = tree_next_node(table)) {
        package.SetLanguage(table->key);
        for (int platform = 0; platform < 2 && sound; ++platform) {
            cInstallTargetFault fault;
            sound = check_install_targets(package, platform == 1, &fault) == INSTALL_TARGETS_SOUND;
            if (!sound && log)
                log_fault(package, fault, *log);
        }
        sound = sound && folder_strings_sound(package, folders, log);
    }
    package.SetLanguage(language);
    return sound;
}
