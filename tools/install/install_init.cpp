#include "tools/install/install_init.h"

#include <string.h>

#include "base/access_rights.h"
#include "base/app_config.h"
#include "base/file_io.h"
#include "base/file_ops.h"
#include "base/path.h"
#include "base/special_folders.h"
#include "base/string_convert.h"
#include "base/string_utils.h"
#include "base/system_info.h"
#include "tools/install/cut_off_run.h"
#include "tools/install/folder_journal.h"
#include "tools/install/install_context.h"
#include "tools/install/folder_strings.h"
#include "tools/install/install_files.h"
#include "tools/install/kill_point.h"
#include "tools/install/manager_place.h"
#include "tools/install/manager_shortcut.h"
#include "tools/install/older_product_queries.h"
#include "tools/install/product_folders.h"
#include "tools/install/product_info.h"
#include "tools/install/record_bounds.h"
#include "tools/install/uninstall_entry.h"
#include "tools/package/package_format.h"
#include "tools/package/package_queries.h"
#include "tools/shell/app_language.h"
#include "tools/shell/catalog_text.h"
#include "tools/shell/record_keys.h"
#include "tools/shell/record_store.h"

namespace {

// INSTALL_INIT_READY with the digest, INSTALL_INIT_FILE_IN_USE while
// another program keeps the file from being read, or
// INSTALL_INIT_UNREADABLE_FILE.
uint32_t digest_of_file(const wchar_t* path, uint8_t digest[32])
{
    cFileIO file;
    if (file.Open(path, FILE_MODE_READ) && sha256_of_stream(&file, digest))
        return INSTALL_INIT_READY;
    return file_is_held(path) ? INSTALL_INIT_FILE_IN_USE : INSTALL_INIT_UNREADABLE_FILE;
}

// The package file as the context names it: a plain file, or a "./" path
// beside the running program. False when neither is there.
bool locate_package(cInstallContext& context)
{
    _guardchar<wchar_t> path;
    path.Assign(context.package_path.Text());
    path_from_native(path.Buffer());
    if (path.IsEmpty())
        return false;
    if (path_get_kind(path.Text()) == PATH_KIND_FILE) {
        context.package_path.Swap(path);
        return true;
    }
    const wchar_t* own = context.own_path.Text();
    const wchar_t* cut = own ? wstr_find_last_char(own, L'/') : nullptr;
    if (wcsncmp(path.Text(), L"./", 2) != 0 || !cut)
        return false;
    _guardchar<wchar_t> folder, beside;
    folder.AssignN(own, int32_t(cut - own) + 1);
    if (!path_format(beside, L"%s%s", folder.Text(), path.Text() + 2) || path_get_kind(beside.Text()) != PATH_KIND_FILE)
        return false;
    context.package_path.Swap(beside);
    return true;
}

uint32_t read_context_package(cInstallContext& context)
{
    if (!locate_package(context))
        return INSTALL_INIT_BAD_PACKAGE_PATH;
    cFileIO file;
    if (!file.Open(context.package_path.Text(), FILE_MODE_READ))
        return INSTALL_INIT_BAD_PACKAGE_PATH;
    if (!file.Seek(context.package_offset) || !read_package(context.package, &file))
        return INSTALL_INIT_BAD_PACKAGE;
    const wchar_t* code_name = context.package.GetString(product_code_name_key);
    context.package_version = pack_version(context.package.version);
    if (!package_code_name_valid(code_name) || context.package_version == ~uint64_t(0))
        return INSTALL_INIT_BAD_PACKAGE;
    context.code_name.Assign(code_name);
    if (str_from_wstr_utf8(code_name, -1, context.code_name_utf8) <= 0)
        return INSTALL_INIT_BAD_PACKAGE;
    return INSTALL_INIT_READY;
}

uint32_t settle_language(cInstallContext& context, cApplicationConfig* store, cInstallInitQuestions& questions)
{
    list_package_languages(context.package, context.languages);
    if (!context.languages.first)
        return INSTALL_INIT_BAD_PACKAGE;
    uint32_t chosen = uint32_t(context.languages.first->element);
    if (context.languages.first->next) {
        int64_t recorded;
        _guardchar<char> key;
        cApplicationConfig* holder = record_holder_of(store, context.code_name_utf8.Text(), key);
        if (holder && cRecordReader(*holder, key.Text()).ReadNumber(record_language, recorded))
            chosen = uint32_t(recorded);
        questions.SwitchLanguage(chosen);
        chosen = questions.ChooseLanguage(chosen);
        if (chosen > 9)
            return INSTALL_INIT_NO_LANGUAGE;
    }
    questions.SwitchLanguage(chosen);
    context.package.SetLanguage(int32_t(chosen));
    return INSTALL_INIT_READY;
}

// Calls add(index, place, key, path) for each path of the record's list
// that names a plain file now, by its identity key; missing ones are passed
// over. A list that is required must be there and not empty. Every path
// must lie where the record bounds it (place_of(path), one of
// RECORDED_*): one outside, even a missing one, makes the record damaged,
// so that the update never deletes a file outside the product as one it
// dropped.
template <class PlaceOf, class Add>
uint32_t for_each_recorded_file(cRecordReader& record, const cRecordList& list, bool required, PlaceOf place_of,
                                Add add)
{
    uint64_t count = 0;
    if (!record.ListLength(list, count) && required)
        return INSTALL_INIT_DAMAGED_RECORD;
    if (required && count == 0)
        return INSTALL_INIT_DAMAGED_RECORD;
    for (uint64_t i = 0; i < count; ++i) {
        _guardchar<wchar_t> path;
        if (!record.ReadText(list.item, i, path))
            return INSTALL_INIT_DAMAGED_RECORD;
        uint32_t place = place_of(path.Text());
        if (place == RECORDED_OUTSIDE)
            return INSTALL_INIT_DAMAGED_RECORD;
        uint32_t kind = path_get_kind(path.Text());
        if (kind == PATH_KIND_MISSING)
            continue;
        if (kind != PATH_KIND_FILE)
            return INSTALL_INIT_DAMAGED_RECORD;
        cPackedKey key;
        path_identity_key(path.Text(), key);
        uint32_t code = add(i, place, key, path);
        if (code != INSTALL_INIT_READY)
            return code;
    }
    return INSTALL_INIT_READY;
}

// A file outside the install folder is the product's while it holds the
// content the record keeps the digest of; otherwise only the new package,
// by writing it, takes it as the product's (plan_install_files).
uint32_t read_previous_files(cInstallContext& context, cRecordReader& record)
{
    auto place_of = [&context](const wchar_t* path) { return context.previous_bounds.PlaceOf(path); };
    auto add = [&](uint64_t index, uint32_t place, cPackedKey& key, _guardchar<wchar_t>& path) -> uint32_t {
        if (tree_find_node(context.previous_files, key))
            return INSTALL_INIT_DAMAGED_RECORD;
        cPreviousFile* file = tree_get_or_add(context.previous_files, static_cast<cPackedKey&&>(key));
        if (!file)
            return INSTALL_INIT_DAMAGED_RECORD;
        file->kept = false;
        uint32_t read = digest_of_file(path.Text(), file->digest);
        if (read != INSTALL_INIT_READY) {
            context.error_path.Swap(path);
            return read;
        }
        uint8_t recorded[32];
        file->owned = place == RECORDED_IN_FOLDER ||
                      (record.ReadDigest(index, recorded) && memcmp(recorded, file->digest, 32) == 0);
        file->path.Swap(path);
        return INSTALL_INIT_READY;
    };
    return for_each_recorded_file(record, record_files, true, place_of, add);
}

uint32_t read_previous_shortcuts(cInstallContext& context, cRecordReader& record)
{
    auto place_of = [&context](const wchar_t* path) {
        return context.previous_bounds.HoldsShortcut(path) ? RECORDED_IN_FOLDER : RECORDED_OUTSIDE;
    };
    return for_each_recorded_file(record, record_shortcuts, false, place_of,
                                  [&](uint64_t, uint32_t, cPackedKey& key, _guardchar<wchar_t>& path) {
        if (tree_find_node(context.previous_shortcuts, key))
            return INSTALL_INIT_DAMAGED_RECORD;
        _guardchar<wchar_t>* shortcut = tree_get_or_add(context.previous_shortcuts, static_cast<cPackedKey&&>(key));
        if (!shortcut)
            return INSTALL_INIT_DAMAGED_RECORD;
        shortcut->Swap(path);
        return INSTALL_INIT_READY;
    });
}

}  // namespace

namespace {

// Answers of check_install_folder by the ancestor folder they came from:
// files in one folder cost one access check.
typedef cTreeMap<cPackedKey, uint32_t> cFolderAnswers;

// The check of the folders above a missing path: 0 ready, 1 no folder
// part, 2 an object in the way (named in in_the_way when given), 3 no write
// access. Answers are kept (when answers is given) by the ancestor they
// came from and by the path's parent, so that the files of one folder cost
// one walk up.
uint32_t check_folders_above(const wchar_t* path, cFolderAnswers* answers, _guardchar<wchar_t>* in_the_way)
{
    _guardchar<wchar_t> ancestor;
    ancestor.Assign(path);
    wchar_t* text = ancestor.Buffer();
    if (!text)
        return 1;
    cPackedKey parent_key;
    bool at_parent = true;
    uint32_t answer;
    for (;;) {
        wchar_t* cut = const_cast<wchar_t*>(wstr_find_last_char(text, L'/'));
        if (!cut)
            return 1;
        while (cut > text && cut[-1] == L'/')
            --cut;
        *cut = 0;
        cPackedKey key;
        path_identity_key(text, key);
        if (const uint32_t* known = answers ? tree_find_value(*answers, key) : nullptr) {
            if (at_parent)
                return *known;
            answer = *known;
            break;
        }
        if (at_parent)
            path_identity_key(text, parent_key);
        at_parent = false;
        uint32_t kind = path_get_kind(text);
        if (kind == PATH_KIND_MISSING)
            continue;
        if (kind != PATH_KIND_FOLDER) {
            if (in_the_way)
                in_the_way->Assign(text);
            return 2;
        }
        answer = path_can_write(text) ? 0 : 3;
        if (uint32_t* kept = answers ? tree_get_or_add(*answers, static_cast<cPackedKey&&>(key)) : nullptr)
            *kept = answer;
        break;
    }
    if (uint32_t* kept = answers ? tree_get_or_add(*answers, static_cast<cPackedKey&&>(parent_key)) : nullptr)
        *kept = answer;
    return answer;
}

}  // namespace

uint32_t check_install_folder(const wchar_t* path)
{
    if (!path || !path[0] || path_get_kind(path) != PATH_KIND_MISSING)
        return 1;
    return check_folders_above(path, nullptr, nullptr);
}

uint32_t plan_install_files(cInstallContext& context)
{
    // The install folder the user chose, by the rule the record reader
    // applies to it later.
    const wchar_t* folder = context.package.GetString(package_pgm_key);
    if (!cProductFolders().Sound(folder)) {
        context.error_path.Assign(folder);
        return INSTALL_INIT_UNSOUND_FOLDER;
    }
    cInstallTargetFault fault;
    if (build_install_targets(context.package, os_is_wow64(), nullptr, context.file_list, &fault) !=
        INSTALL_TARGETS_SOUND) {
        // The package itself was checked at start-up: what is left comes
        // of the folder (a step up in it, a path too long, a target of
        // another folder met there).
        context.error_path.Assign(fault.target.Text());
        return fault.kind == INSTALL_TARGET_UNRESOLVED ? INSTALL_INIT_BAD_PACKAGE : INSTALL_INIT_BAD_TARGET_PATH;
    }
    if (!context.file_list.first)
        return INSTALL_INIT_BAD_PACKAGE;
    // The folder may have been chosen before, and changed since.
    context.known_names.Clear();
    cFolderAnswers folders(1024);
    for (auto* node = context.file_list.first; node; node = node->next) {
        cInstallItem& item = node->element;
        const wchar_t* target = item.target_path.Text();
        context.error_path.Assign(target);
        cPackedKey key;
        path_identity_key(target, key);
        if (cPreviousFile* previous = tree_find_value(context.previous_files, key)) {
            previous->kept = true;
            if (memcmp(previous->digest, item.digest, 32) == 0)
                item.access[2] = install_item_skipped;
            else if (!path_can_write(target))
                return INSTALL_INIT_NO_WRITE_ACCESS;
            continue;
        }
        uint32_t kind = context.known_names.Kind(target);
        if (kind == PATH_KIND_MISSING) {
            static const uint32_t by_folder_check[4] = {INSTALL_INIT_READY, INSTALL_INIT_BAD_TARGET_PATH,
                                                        INSTALL_INIT_OBJECT_IN_THE_WAY, INSTALL_INIT_NO_WRITE_ACCESS};
            // A file where a folder of the path goes is named itself.
            uint32_t code = by_folder_check[check_folders_above(target, &folders, &context.error_path)];
            if (code != INSTALL_INIT_READY)
                return code;
            context.error_path.Clear();
        } else if (kind == PATH_KIND_FILE) {
            uint8_t digest[32];
            uint32_t read = digest_of_file(target, digest);
            if (read != INSTALL_INIT_READY)
                return read;
            if (memcmp(digest, item.digest, 32) != 0)
                return INSTALL_INIT_FOREIGN_FILE;
        } else {
            return INSTALL_INIT_OBJECT_IN_THE_WAY;
        }
    }
    context.error_path.Clear();
    return INSTALL_INIT_READY;
}

namespace {

// Every file is skipped, no earlier run left a temporary or backup file
// beside one of them, the manager and its shortcut (the installing
// language's) are there, and the record and the Windows entry already give
// this version: a run cut off after its apply pass, or between saving the
// record and writing the entry, still has its record, entry and clean-up
// to finish.
bool nothing_left_to_do(const cInstallContext& context)
{
    if (context.installed_version != context.package_version)
        return false;
    for (auto* node = context.file_list.first; node; node = node->next) {
        const cInstallItem& item = node->element;
        if (item.access[2] != install_item_skipped)
            return false;
        _guardchar<wchar_t> leftover;
        if (!temporary_path_of(item.target_path.Text(), leftover) ||
            path_get_kind(leftover.Text()) != PATH_KIND_MISSING ||
            !backup_path_of(item.target_path.Text(), leftover) ||
            path_get_kind(leftover.Text()) != PATH_KIND_MISSING)
            return false;
    }
    // What took the manager or its shortcut away leaves it to an
    // installation to make again.
    _guardchar<wchar_t> manager;
    if (!get_manager_exe_path(manager) || path_get_kind(manager.Text()) != PATH_KIND_FILE ||
        !manager_shortcut_in_place(section_text(L"pkgm::instp", 5), section_text(L"pkgm::instp", 6), manager.Text()))
        return false;
    uint32_t version[4];
    return (read_uninstall_entry(context.code_name.Text(), version, nullptr, nullptr, false) ||
            read_uninstall_entry(context.code_name.Text(), version, nullptr, nullptr, true)) &&
           pack_version(version) == context.package_version;
}

// The start-up's code for a store that keeps the run from the product's
// record (RECORD_STORE_*), the context telling of it; key (null: none)
// names the record, whose store the refusal is about.
uint32_t refuse_store(cInstallContext& context, cApplicationConfig* store, const char* key, uint32_t held)
{
    if (key)
        refused_store_fault(*store, key, held, context.store_fault);
    context.error_path.Assign(context.store_fault.place.Text());
    switch (held) {
    case RECORD_STORE_UNGUARDED:
        return INSTALL_INIT_UNGUARDED_RECORD;
    case RECORD_STORE_NO_PLACE:
        return INSTALL_INIT_NO_USER_STORE;
    case RECORD_STORE_PER_USER_ONLY:
        return INSTALL_INIT_PER_USER_RECORD;
    case RECORD_STORE_ALL_USERS_ONLY:
        return INSTALL_INIT_ALL_USERS_RECORD;
    default:
        return INSTALL_INIT_UNREAD_STORE;
    }
}

// The store of the product's record, where this run may not act on it:
// asked before any question, as the store itself is.
uint32_t check_record_store(cInstallContext& context, cApplicationConfig& store)
{
    _guardchar<char> key;
    cApplicationConfig* holder = nullptr;
    if (!record_key_of(context.code_name_utf8.Text(), key))
        return INSTALL_INIT_DAMAGED_RECORD;
    uint32_t held = find_own_record_store(store, key.Text(), holder);
    return record_store_refused(held) ? refuse_store(context, &store, key.Text(), held) : INSTALL_INIT_READY;
}

// Starts from nothing each time: the start-up reads it again once a held
// file is let go, and the replan after older products were removed.
uint32_t read_previous_installation(cInstallContext& context, cApplicationConfig& store)
{
    context.error_path.Clear();
    list_clear(context.file_list);
    tree_clear(context.previous_files);
    tree_clear(context.previous_shortcuts);
    list_clear(context.earlier_folders);
    context.earlier_folders_known = true;
    context.installed_version = ~uint64_t(0);
    _guardchar<char> key;
    if (!record_key_of(context.code_name_utf8.Text(), key))
        return INSTALL_INIT_DAMAGED_RECORD;
    cApplicationConfig* holder = nullptr;
    uint32_t held = find_own_record_store(store, key.Text(), holder);
    if (record_store_refused(held))
        return refuse_store(context, &store, key.Text(), held);
    if (!holder)
        return INSTALL_INIT_READY;
    cRecordReader record(*holder, key.Text());
    int64_t version;
    if (!record.ReadNumber(record_version, version))
        return INSTALL_INIT_READY;
    context.installed_version = uint64_t(version);
    if (context.installed_version > context.package_version)
        return INSTALL_INIT_NEWER_INSTALLED;
    // A record from before groups were recorded has its shortcuts where
    // this package puts its own.
    _guardchar<wchar_t> group;
    get_start_menu_group_path(context.package.GetString(product_group_key), group);
    cRecordBounds& bounds = context.previous_bounds;
    bounds.Read(record, group.IsEmpty() ? nullptr : group.Text());
    context.earlier_folders_known = bounds.ReadMadeFolders(record, context.earlier_folders);
    const wchar_t* folder = bounds.Folder().Text();
    if (folder && !bounds.FolderSound())
        return INSTALL_INIT_DAMAGED_RECORD;
    if (path_get_kind(folder) != PATH_KIND_FOLDER || !set_pgm_folder(context.package.strings, folder))
        return INSTALL_INIT_FOLDER_GONE;
    uint32_t code = read_previous_files(context, record);
    if (code == INSTALL_INIT_READY)
        code = read_previous_shortcuts(context, record);
    if (code != INSTALL_INIT_READY)
        return code;
    code = plan_install_files(context);
    if (code == INSTALL_INIT_READY && nothing_left_to_do(context))
        return INSTALL_INIT_NOTHING_TO_DO;
    return code;
}

// The previous installation as its record holds it, once a run cut off
// before its record is undone: what that run replaced, added or left
// half-written is not the installation's, and must not pass for files the
// update need not write.
uint32_t read_installation_undone(cInstallContext& context, cApplicationConfig& store)
{
    // A journal that others may change steers nothing.
    _guardchar<char> journal;
    cApplicationConfig* holder = nullptr;
    if (folder_journal_key_of(context.code_name_utf8.Text(), journal) &&
        find_own_record_store(store, journal.Text(), holder) == RECORD_STORE_UNGUARDED)
        return refuse_store(context, &store, journal.Text(), RECORD_STORE_UNGUARDED);
    static const uint32_t by_undo[5] = {INSTALL_INIT_READY, INSTALL_INIT_FILE_IN_USE, INSTALL_INIT_NO_WRITE_ACCESS,
                                        INSTALL_INIT_OBJECT_IN_THE_WAY, INSTALL_INIT_DAMAGED_JOURNAL};
    uint32_t undone = undo_before_install(context, &store, false);
    return undone == UNDO_DONE ? read_previous_installation(context, store) : by_undo[undone];
}

// Every folder the package names for its files besides the install folder
// can hold a product of its own: the record bounds what lies there by the
// same rule. One that is malformed makes the package a damaged one; a
// folder of the machine is named (error path).
uint32_t check_package_folders(cInstallContext& context)
{
    const wchar_t* folder = nullptr;
    switch (check_folder_strings(context.package, cProductFolders(), nullptr, &folder)) {
    case FOLDER_STRINGS_SOUND:
        return INSTALL_INIT_READY;
    case FOLDER_STRING_OF_SYSTEM:
        context.error_path.Assign(folder);
        return INSTALL_INIT_SYSTEM_FOLDER;
    default:
        return INSTALL_INIT_BAD_PACKAGE;
    }
}

void find_replaced_products(cInstallContext& context, cApplicationConfig* store)
{
    cLinkedList<cPackageReplacedProduct> replaced;
    copy_replaced_products(context.package, replaced);
    for (auto* node = replaced.first; node; node = node->next) {
        uint32_t major = 0;
        _guardchar<wchar_t> command, name;
        const wchar_t* code_name = node->element.code_name.Text();
        // The product's own earlier installation is the update's business:
        // its files are planned to stay, so it is never removed first.
        const wchar_t* entry_name = uninstall_entry_name(code_name);
        if (entry_name && wstr_compare_nocase(entry_name, uninstall_entry_name(context.code_name.Text())) == 0)
            continue;
        if (!get_installed_major_version_in(store, code_name, major, command) || command.IsEmpty())
            continue;
        if (node->element.major != 0xFFFF && node->element.major != major)
            continue;
        if (!get_installed_product_name_in(store, code_name, name) || name.IsEmpty())
            continue;
        cOlderProduct* product = new cOlderProduct;
        if (!product)
            return;
        product->name.Swap(name);
        product->command.Swap(command);
        product->run = 1;
        if (context.products_to_uninstall.last)
            context.products_to_uninstall.last->next = product;
        else
            context.products_to_uninstall.first = product;
        context.products_to_uninstall.last = product;
    }
}

// Windows' list of installed programs holds one entry per name, whatever
// its case: an entry under the code name that is not this program's
// uninstall of it belongs to another program, which the installation
// would take the place of.
uint32_t check_entry_name_free(cInstallContext& context)
{
    const bool hives[2] = {false, true};
    for (bool per_user : hives)
        if (uninstall_entry_owner(context.code_name.Text(), per_user, &context.error_path) == UNINSTALL_ENTRY_FOREIGN)
            return INSTALL_INIT_NAME_TAKEN;
    return INSTALL_INIT_READY;
}

}  // namespace

bool cInstallInitQuestions::SwitchLanguage(uint32_t id)
{
    return apply_language(id);
}

bool cInstallInitQuestions::AskRelease(const wchar_t*)
{
    return false;
}

uint32_t replan_installation(cInstallContext& context, cApplicationConfig* store)
{
    if (!context.package.GetString(package_pgm_key))
        return INSTALL_INIT_READY;
    uint32_t code = store ? read_previous_installation(context, *store) : INSTALL_INIT_READY;
    if (code == INSTALL_INIT_READY && context.installed_version == ~uint64_t(0))
        code = plan_install_files(context);
    return code;
}

uint32_t run_install_init(cInstallContext& context, cApplicationConfig* store, cInstallInitQuestions& questions)
{
    INSTALL_KILL_POINT("start-up", 0);
    // Before any question: a store that cannot serve stops the run here,
    // not at the end of its installation.
    uint32_t held = run_store_refusal(store, &context.store_fault);
    if (held != RECORD_STORE_NONE)
        return refuse_store(context, store, nullptr, held);
    uint32_t code = read_context_package(context);
    if (code == INSTALL_INIT_READY && store)
        code = check_record_store(context, *store);
    _guardchar<wchar_t> manager_place;
    if (code == INSTALL_INIT_READY && !manager_place_ready(manager_place)) {
        context.error_path.Swap(manager_place);
        code = INSTALL_INIT_NO_MANAGER_PLACE;
    }
    if (code == INSTALL_INIT_READY)
        code = settle_language(context, store, questions);
    // Targets that collide, or lie outside their folders wherever the
    // product goes, make the package a damaged one.
    if (code == INSTALL_INIT_READY &&
        check_install_targets(context.package, os_is_wow64(), nullptr) != INSTALL_TARGETS_SOUND)
        code = INSTALL_INIT_BAD_PACKAGE;
    if (code == INSTALL_INIT_READY)
        code = check_package_folders(context);
    if (code == INSTALL_INIT_READY)
        code = check_entry_name_free(context);
    if (code == INSTALL_INIT_READY && store) {
        code = read_installation_undone(context, *store);
        // The program that held the file may have let it go, or another
        // file may be held now: the whole installation is read anew.
        while (code == INSTALL_INIT_FILE_IN_USE && questions.AskRelease(context.error_path.Text()))
            code = read_installation_undone(context, *store);
    }
    if (code != INSTALL_INIT_READY)
        return code;
    context.space_needed = package_space_needed(context.package);
    if (context.space_needed == 0)
        return INSTALL_INIT_NOTHING_TO_DO;
    find_replaced_products(context, store);
    return INSTALL_INIT_READY;
}
