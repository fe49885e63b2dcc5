#ifndef TOOLS_INSTALL_INSTALL_CONTEXT_H
#define TOOLS_INSTALL_INSTALL_CONTEXT_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/config_file.h"
#include "base/linked_list.h"
#include "base/packed_key.h"
#include "base/tree_map.h"
#include "tools/install/known_names.h"
#include "tools/install/record_bounds.h"
#include "tools/package/package.h"
#include "tools/package/package_queries.h"
#include "tools/shell/older_products.h"

// A file of the previous installation of the product.
struct cPreviousFile {
    _guardchar<wchar_t> path;  // as the record wrote it
    uint8_t digest[32];        // SHA-256 of what is on disk now
    bool kept;                 // the new file list has it too
    // The product's beyond doubt: inside the install folder, or holding the
    // content the record keeps the digest of. A file neither kept nor owned
    // is left where it is.
    bool owned;
};

// Third access digit of an install item whose target already holds the
// member's content from the previous installation: the job leaves it alone.
const uint8_t install_item_skipped = 255;

// Outcome of the install job, for the finish page.
enum : uint32_t {
    INSTALL_STATUS_OK = 0,
    INSTALL_STATUS_OBJECT_IN_THE_WAY = 1,  // a path is taken by something that is not a plain file
    INSTALL_STATUS_REPAIR_FAILED = 2,      // a leftover of an earlier run cannot be put right
    INSTALL_STATUS_NO_MEMBER = 3,
    INSTALL_STATUS_CREATE_FAILED = 4,
    INSTALL_STATUS_READ_FAILED = 5,
    INSTALL_STATUS_WRITE_FAILED = 6,
    INSTALL_STATUS_FILE_IN_USE = 7,  // the user gave up on a file another program holds
    INSTALL_STATUS_APPLY_FAILED = 8,
    INSTALL_STATUS_BAD_PATH = 9,
    INSTALL_STATUS_ABORTED = 10,
    INSTALL_STATUS_NOT_RECORDED = 11,  // installed, but no store could keep the record
    // (12 is the exit code of status 1, whose own number the start-up's
    // refusal has.)
    // Nothing installed: the journal could not be saved before anything was
    // put in place. The error path names its store file.
    INSTALL_STATUS_JOURNAL_NOT_SAVED = 13,
    // Installed, but something not the program's own stands where the
    // manager's shortcut goes, or beside it where it is written first: left
    // alone, and named by the error path; the shortcut is not made.
    INSTALL_STATUS_NO_MANAGER_SHORTCUT = 14,
    // Nothing installed: the manager could not be placed, and without it
    // nothing could list, update or uninstall the product. The error path
    // names its place, or what stands in its way.
    INSTALL_STATUS_NO_MANAGER = 15,
};

// What the install road knows and decides: the package, then the plan that
// the start-up makes and the wizard and the install job carry out. Owned by
// the install mode; the forms and jobs borrow it, one thread at a time.
class cInstallContext {
public:
    cInstallContext(const wchar_t* own_path, const wchar_t* package_path, uint32_t package_offset);
    ~cInstallContext();
    cInstallContext(const cInstallContext&) = delete;
    cInstallContext& operator=(const cInstallContext&) = delete;

    cPackage package;
    _guardchar<wchar_t> own_path;      // the running program file
    _guardchar<wchar_t> package_path;  // the file holding the package
    _guardchar<wchar_t> code_name;
    _guardchar<char> code_name_utf8;   // the record is "install/<this>"
    _guardchar<wchar_t> error_path;    // the path a failure concerns
    // What keeps a store from the run, for the start-up's refusals of one
    // (its place is the error path too).
    cStoreFault store_fault;
    uint32_t status;                   // INSTALL_STATUS_*
    uint32_t package_offset;
    uint64_t installed_version;  // of the previous record; all ones for none
    uint64_t package_version;    // pack_version of the package's; all ones until read
    uint64_t space_needed;
    cLinkedList<int32_t> languages;
    cOlderProductList products_to_uninstall;
    cLinkedList<cInstallItem> file_list;
    // What the previous installation's record bounds, for what the update
    // deletes of it; read with the record.
    cRecordBounds previous_bounds;
    // By path identity (path_identity_key).
    cTreeMap<cPackedKey, cPreviousFile> previous_files;
    cTreeMap<cPackedKey, _guardchar<wchar_t>> previous_shortcuts;
    // Made by the install job, in creation order, each once, in the
    // Start-menu folder of the product's group (empty until one is made).
    cLinkedList<_guardchar<wchar_t>> created_shortcuts;
    _guardchar<wchar_t> shortcut_folder;
    // Folders the install job created for its files, parents first: a job
    // that gives up removes those left empty.
    cLinkedList<_guardchar<wchar_t>> made_folders;
    // The install folder that a first installation cut off before its
    // record made, which this run into it takes over: listed with the
    // folders this run makes in its journal and record, and left by its
    // give-up, which removes only what it made itself.
    cLinkedList<_guardchar<wchar_t>> cut_off_folders;
    // When this run began journaling (FILETIME ticks; 0 until it did): what
    // it makes is not older, and its record keeps the stamp, so that a
    // journal left beside that record is known for the same run's. A run
    // that takes over a cut-off run's folder takes that run's stamp, when
    // earlier.
    uint64_t journal_since;
    // Folders that earlier installations of the product made, as their
    // record lists them: the new record lists them again with its own.
    // False when an earlier record has no such list: the new one keeps
    // none either, so that the uninstall still takes the install folder.
    cLinkedList<_guardchar<wchar_t>> earlier_folders;
    bool earlier_folders_known;
    // What the targets' folders hold, listed by the start-up's plan and
    // again by the job, which adds the backups it makes.
    cKnownNames known_names;
};

#endif
