#include <string.h>

#include "base/file_io.h"
#include "base/file_ops.h"
#include "base/folder_listing.h"
#include "base/parallel_for.h"
#include "base/path.h"
#include "tools/package/package_format.h"
#include "tools/package/scenario_reader.h"

namespace {

// What one [Install] line gives every file it adds.
struct cInstallLine {
    bool for_32bit;
    bool for_64bit;
    _guardchar<wchar_t> folder_key;
    uint8_t access[3];
    cLinkedList<int32_t> languages;
};

// Reserves a member for the file, which scenario_compress_members fills.
int32_t add_install_file(cPackage& package, const cInstallLine& line, const wchar_t* source, const wchar_t* path)
{
    if (!package_relative_path_valid(path))
        return SCENARIO_BAD_ITEM;
    cFileIO file;
    if (!file.Open(source, FILE_MODE_READ))
        return scenario_fail(package, SCENARIO_BAD_SOURCE, L"Source file \"%s\" cannot be opened", source);
    uint64_t size = file.GetSize();
    if (size == 0)
        return scenario_fail(package, SCENARIO_BAD_SOURCE, L"Empty source file \"%s\", which a package cannot hold",
                             source);
    uint32_t index = package_member_count(package);
    if (size > UINT32_MAX || index >= INT32_MAX)
        return SCENARIO_BAD_SOURCE;
    cPackageMember* member = tree_get_or_add(package.members, int32_t(index));
    cPendingMember* pending = list_append(package.pending_members);
    cPackageFileEntry* entry = list_append(package.files);
    if (!member || !pending || !entry || !list_append_text(package.scenario_inputs, source))
        return SCENARIO_BAD_SOURCE;
    member->unpacked_size = 0;
    pending->index = index;
    pending->source.Assign(source);
    pending->size = uint32_t(size);
    pending->line = package.scenario_line;
    entry->member_index = index;
    entry->line = package.scenario_line;
    entry->folder_key.Assign(line.folder_key.Text());
    entry->path.Assign(path);
    for (auto* node = line.languages.first; node; node = node->next)
        if (int32_t* language = list_append(entry->languages))
            *language = node->element;
    entry->for_32bit = line.for_32bit;
    entry->for_64bit = line.for_64bit;
    memcpy(entry->access, line.access, 3);
    return SCENARIO_OK;
}

// A file, or a folder with everything in it, under the relative path.
int32_t add_install_source(cPackage& package, const cInstallLine& line, const wchar_t* source, const wchar_t* path)
{
    uint32_t kind = path_get_kind(source);
    if (kind == PATH_KIND_FILE)
        return add_install_file(package, line, source, path);
    cFolderListing listing;
    if (kind != PATH_KIND_FOLDER || !listing.Read(source, true))
        return scenario_fail(package, SCENARIO_BAD_SOURCE, L"Source folder \"%s\" cannot be listed", source);
    for (uint32_t index = 0; index < listing.Count(); ++index) {
        const cFolderEntry* entry = listing.GetEntry(index);
        _guardchar<wchar_t> child_source, child_path;
        if (!entry || !listing.GetEntryPath(index, child_source))
            return SCENARIO_BAD_SOURCE;
        if (path && path[0])
            path_format(child_path, L"%s/%s", path, entry->name.Text());
        else
            child_path.Assign(entry->name.Text());
        if (!child_path.Text())
            return SCENARIO_BAD_SOURCE;
        int32_t result = add_install_source(package, line, child_source.Text(), child_path.Text());
        if (result != SCENARIO_OK)
            return result;
    }
    return SCENARIO_OK;
}

// The languages after the second ',': '*' or nothing for every language,
// else declared three-letter codes, blanks between them optional.
int32_t read_install_languages(cPackage& package, const wchar_t*& at, cLinkedList<int32_t>& languages)
{
    if (*at == L'*') {
        ++at;
        scenario_skip_blanks(at);
        return scenario_line_ends(at) ? SCENARIO_OK : SCENARIO_BAD_LANGUAGE;
    }
    while (!scenario_line_ends(at)) {
        int32_t language = package_language_from_code(at);
        if (language < 0 || !tree_find_node(package.language_strings, language))
            return SCENARIO_BAD_LANGUAGE;
        int32_t* added = list_append(languages);
        if (!added)
            return SCENARIO_BAD_LANGUAGE;
        *added = language;
        at += 3;
        scenario_skip_blanks(at);
    }
    return SCENARIO_OK;
}

bool is_octal(wchar_t unit)
{
    return unit >= L'0' && unit <= L'7';
}

// ", digits, languages" after the target; each part may be left out.
int32_t read_install_options(cPackage& package, const wchar_t*& at, cInstallLine& line)
{
    if (scenario_line_ends(at))
        return SCENARIO_OK;
    if (*at != L',')
        return SCENARIO_SYNTAX;
    ++at;
    scenario_skip_blanks(at);
    if (is_octal(*at)) {
        for (int digit = 0; digit < 3; ++digit, ++at) {
            if (!is_octal(*at))
                return SCENARIO_BAD_ACCESS;
            line.access[digit] = uint8_t(*at - L'0');
        }
        scenario_skip_blanks(at);
    }
    if (scenario_line_ends(at))
        return SCENARIO_OK;
    if (*at != L',')
        return SCENARIO_BAD_ACCESS;
    ++at;
    scenario_skip_blanks(at);
    return read_install_languages(package, at, line.languages);
}

struct cMemberWork {
    cPendingMember* pending;
    cPackageMember* member;
    cMemberResult result;
};

void compress_member(void* context, uint32_t index)
{
    cMemberWork& work = static_cast<cMemberWork*>(context)[index];
    cFileIO file;
    work.result = file.Open(work.pending->source.Text(), FILE_MODE_READ) ? compress_package_member(&file, *work.member)
                                                                          : MEMBER_UNREADABLE;
}

// The failed file in the scenario fault, with its size and the cause.
void explain_member_failure(cPackage& package, const cMemberWork& work)
{
    static const wchar_t* const causes[] = {
        L"", L"its size is 0 or 4 GiB or more", L"it cannot be read", L"out of memory for its compressed data",
        L"it grew while it was compressed"};
    scenario_fail(package, 0, L"\"%s\" (%u bytes) cannot be packed: %s", work.pending->source.Text(),
                  work.pending->size, causes[work.result]);
}

}  // namespace

bool scenario_compress_members(cPackage& package, int32_t& failed_line)
{
    // Largest first, so that no big file is left to run alone at the end;
    // among equal sizes in the scenario's order. The key puts larger sizes
    // first and keeps the order among equal ones.
    cTreeMap<uint64_t, cPendingMember*> by_size(1024);
    uint32_t count = 0;
    for (auto* node = package.pending_members.first; node; node = node->next, ++count) {
        cPendingMember** slot = tree_get_or_add(by_size, uint64_t(UINT32_MAX - node->element.size) << 32 | count);
        if (!slot)
            return false;
        *slot = &node->element;
    }
    _typebuf<cMemberWork> work{int32_t(count)};
    if (count && !work.Data())
        return false;
    uint32_t at = 0;
    for (auto* node = tree_first_node(by_size); node; node = tree_next_node(node), ++at) {
        work[int32_t(at)].pending = node->value;
        work[int32_t(at)].member = tree_find_value(package.members, int32_t(node->value->index));
        work[int32_t(at)].result = MEMBER_UNREADABLE;
        if (!work[int32_t(at)].member)
            return false;
    }
    // parallel_for hands the indices out in rising order.
    parallel_for(count, compress_member, work.Data());
    // The first failure in the scenario's order is the one reported.
    int32_t failed = -1;
    for (uint32_t i = 0; i < count; ++i)
        if (work[int32_t(i)].result != MEMBER_DONE && (failed < 0 || work[int32_t(i)].pending->line < failed_line)) {
            failed = int32_t(i);
            failed_line = work[int32_t(i)].pending->line;
        }
    if (failed >= 0)
        explain_member_failure(package, work[failed]);
    list_clear(package.pending_members);
    return failed < 0;
}

int32_t scenario_read_install(cPackage& package, const wchar_t* line)
{
    cInstallLine install;
    const wchar_t* at = line;
    install.for_32bit = install.for_64bit = true;
    if (*at == L'x') {
        if (scenario_skip_word(at, L"x32."))
            install.for_64bit = false;
        else if (scenario_skip_word(at, L"x64."))
            install.for_32bit = false;
        else
            return SCENARIO_BAD_PLATFORM;
    } else if (*at != L'"') {
        return SCENARIO_BAD_INSTALL_LINE;
    }
    _guardchar<wchar_t> source, path;
    if (!scenario_read_quoted(package, at, source))
        return SCENARIO_BAD_TEXT;
    uint32_t kind = path_get_kind(source.Text());
    if (kind != PATH_KIND_FILE && kind != PATH_KIND_FOLDER)
        return scenario_fail(package, SCENARIO_BAD_SOURCE,
                             L"No source file or folder \"%s\" (a relative path starts at the folder make runs in)",
                             source.Text());
    if (!scenario_expect_equals(at))
        return SCENARIO_SYNTAX;
    if (!scenario_read_folder_item(package, at, install.folder_key, path))
        return SCENARIO_BAD_ITEM;
    memset(install.access, package_access_none, 3);
    int32_t result = read_install_options(package, at, install);
    if (result != SCENARIO_OK)
        return result;
    return add_install_source(package, install, source.Text(), path.Text());
}
