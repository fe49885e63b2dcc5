#ifndef TOOLS_INSTALL_INSTALL_INIT_H
#define TOOLS_INSTALL_INSTALL_INIT_H

#include <stdint.h>

class cApplicationConfig;
class cInstallContext;

// Outcome of the install start-up; the start-up form shows the message of
// each but 0 and 3.
enum : uint32_t {
    INSTALL_INIT_READY = 0,
    INSTALL_INIT_BAD_PACKAGE_PATH = 1,
    INSTALL_INIT_BAD_PACKAGE = 2,  // unreadable, incomplete, or no file list
    INSTALL_INIT_NO_LANGUAGE = 3,
    INSTALL_INIT_NEWER_INSTALLED = 4,
    INSTALL_INIT_FOLDER_GONE = 5,      // the recorded install folder is not a folder
    INSTALL_INIT_DAMAGED_RECORD = 6,
    INSTALL_INIT_UNREADABLE_FILE = 7,  // error path: the file
    INSTALL_INIT_NO_WRITE_ACCESS = 8,  // error path: the target
    INSTALL_INIT_OBJECT_IN_THE_WAY = 9,
    INSTALL_INIT_FOREIGN_FILE = 10,  // a target holds other content, not from the previous installation
    INSTALL_INIT_BAD_TARGET_PATH = 11,
    INSTALL_INIT_NOTHING_TO_DO = 12,
    INSTALL_INIT_NAME_TAKEN = 13,  // another program's Windows entry has the code name; error path: that program
    // The install folder cannot hold a product of its own (a drive's root,
    // a folder of the system or the user; cProductFolders). Error path: the
    // folder.
    INSTALL_INIT_UNSOUND_FOLDER = 14,
    // A file to read is held open by another program that lets nobody read
    // it (file_is_held). Error path: the file.
    INSTALL_INIT_FILE_IN_USE = 15,
    // The package names a folder of the system or of the user for its
    // files (check_folder_strings). Error path: that folder.
    INSTALL_INIT_SYSTEM_FOLDER = 16,
    // The common store that holds the product's record, or that a run with
    // administrator rights keeps records in, may be changed by others than
    // the administrators or cannot serve (RECORD_STORE_UNGUARDED). Error
    // path: the first of its folders or files that they may change, or
    // that stands in its way; the store fault tells of it.
    INSTALL_INIT_UNGUARDED_RECORD = 17,
    // The product is recorded for one user only, and this run has
    // administrator rights (RECORD_STORE_PER_USER_ONLY). Error path: the
    // per-user store's file.
    INSTALL_INIT_PER_USER_RECORD = 18,
    // An interrupted earlier run was undone, but its journal named what
    // cannot be shown to be that run's: left where it is.
    INSTALL_INIT_DAMAGED_JOURNAL = 19,
    // A run without administrator rights has no per-user store that can
    // serve to record the product in (RECORD_STORE_NO_PLACE). Error path:
    // what stands in its way; the store fault tells of it.
    INSTALL_INIT_NO_USER_STORE = 20,
    // The run's own store does not record the product, and the store it
    // only reads could not be read whole (RECORD_STORE_UNREAD): whether it
    // is installed already cannot be told. Error path: what could not be
    // read; the store fault tells of it.
    INSTALL_INIT_UNREAD_STORE = 21,
    // The product is recorded for all users, and this run has no
    // administrator rights (RECORD_STORE_ALL_USERS_ONLY): it may not change
    // that record. Error path: the common store's file.
    INSTALL_INIT_ALL_USERS_RECORD = 22,
    // No manager stands at its place, and none can be made there
    // (manager_place_ready): nothing could list, update or uninstall the
    // product. Error path: the place, or what stands in its way.
    INSTALL_INIT_NO_MANAGER_PLACE = 23,
};

// What the start-up asks the user, on the start-up's thread; the answer
// comes back when the user has chosen.
class cInstallInitQuestions {
public:
    virtual ~cInstallInitQuestions() {}
    // One of the context's languages, proposed first; above 9 for none.
    virtual uint32_t ChooseLanguage(uint32_t proposed) = 0;
    // Makes the language the interface's (apply_language), where the
    // interface lives: the base does it on the calling thread.
    virtual bool SwitchLanguage(uint32_t id);
    // A file of the previous installation is held by another program: true
    // to read the installation again, the user having closed that program.
    // The base has nobody to ask and gives up.
    virtual bool AskRelease(const wchar_t* path);
};

// The start-up's work: stops at once where the run's store cannot serve
// (run_store_refusal), reads and checks the package that the context
// names, stops where the product's record is not this run's to change or
// no manager can be at its place, settles the language, undoes a run of the product cut off before
// its record (cut_off_run.h), reads the previous installation of the
// product from the store (null: none), plans which files to write and
// finds the older products to remove. While a file of the previous
// installation (or one the undo gives back) is held, the questions are
// asked whether to read it again.
// Answers INSTALL_INIT_*; the context keeps the path a failure concerns as
// its error path.
uint32_t run_install_init(cInstallContext& context, cApplicationConfig* store, cInstallInitQuestions& questions);

// The file list for the package's current language and folders (the
// install folder first checked as a folder of its own), each
// target checked against the disk and the previous installation's files:
// a target that holds its new content from that installation is marked
// skipped, and a kept previous file is marked kept. INSTALL_INIT_READY,
// or the code of the first target that cannot be written (error path set).
// The folder page runs it for a first installation, once the folder is set.
uint32_t plan_install_files(cInstallContext& context);

// After older products were removed (their uninstallers may have touched
// the disk and the store): the previous installation read again and the
// files planned again at the install folder, when one is set; a first
// installation whose folder is still to be chosen is left to the folder
// page. INSTALL_INIT_* as run_install_init.
uint32_t replan_installation(cInstallContext& context, cApplicationConfig* store);

// For a path not there yet: 0 when its nearest existing ancestor is a
// folder the user may write, 2 when that ancestor is no folder, 3 when it
// is a folder that cannot be written; 1 for an empty path, one that exists,
// or one with no existing ancestor.
uint32_t check_install_folder(const wchar_t* path);

#endif
