#ifndef TOOLS_INSTALL_UNINSTALL_JOB_H
#define TOOLS_INSTALL_UNINSTALL_JOB_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/config_file.h"
#include "base/linked_list.h"

class cApplicationConfig;
class cJob;

// The outcome of an uninstall, which the form turns into its message.
enum : uint32_t {
    UNINSTALL_DONE = 0,                 // the product is gone
    UNINSTALL_INTERNAL_ERROR = 1,       // no language to speak in, or no memory for the record's lists
    UNINSTALL_NOT_INSTALLED = 2,        // neither record nor entry, or a name no product can have
    UNINSTALL_COMMAND_NOT_STARTED = 3,  // the product's own uninstaller did not start
    UNINSTALL_COMMAND_FAILED = 4,       // it ended with another exit code than 0
    UNINSTALL_DEREGISTERED = 5,         // only the entry was there, and it is gone
    UNINSTALL_CANCELLED = 6,            // the user said no; nothing changed
    UNINSTALL_INCOMPLETE = 7,           // a backup, shortcut, entry or the record could not be deleted
    UNINSTALL_DAMAGED_RECORD = 8,       // done, but what the record named was not all the product's
    UNINSTALL_CHANGED_FILES = 9,        // done, but files whose content changed since they were installed stay
    // The record is in the common store, which others than the
    // administrators may change (RECORD_STORE_UNGUARDED), or this run would
    // find it there and that store cannot serve: nothing changed. The
    // context's store fault tells of the folder or file in the way.
    UNINSTALL_UNGUARDED_RECORD = 10,
    // The product is recorded for one user only, and this run has more
    // rights than that user (RECORD_STORE_PER_USER_ONLY): nothing changed.
    // The error path names the per-user store's file.
    UNINSTALL_PER_USER_RECORD = 11,
    // No record, but a first installation cut off before its record: it is
    // undone, and nothing of the product is left.
    UNINSTALL_INTERRUPTED_UNDONE = 12,
    // A file cannot be moved aside: an object other than a file (a folder)
    // stands at its "<path>.bkp". Every file was put back; the error path
    // names the object.
    UNINSTALL_OBJECT_IN_WAY = 13,
    // This run, without administrator rights, has no per-user store that
    // can serve (RECORD_STORE_NO_PLACE): nothing changed. The store fault
    // tells of what stands in its way.
    UNINSTALL_NO_USER_STORE = 14,
    // The run's own store does not record the product, and the store it
    // only reads could not be read whole (RECORD_STORE_UNREAD): nothing
    // changed. The store fault names what could not be read.
    UNINSTALL_UNREAD_STORE = 15,
    // The product's files and shortcuts are gone, but the store that holds
    // its record could not save the record's deletion: the record and the
    // Windows entry stay, for another uninstall to finish. The store fault
    // tells what stood in the save's way.
    UNINSTALL_RECORD_NOT_SAVED = 16,
    // The product is recorded for all users, and this run has no
    // administrator rights (RECORD_STORE_ALL_USERS_ONLY): nothing changed.
    // The error path names the common store's file.
    UNINSTALL_ALL_USERS_RECORD = 17,
};

// A recorded file as the uninstall finds it.
enum : uint8_t {
    UNINSTALL_FILE_PRESENT = 0,  // a plain file under its name
    UNINSTALL_FILE_MOVED = 1,    // gone, its "<path>.bkp" a plain file: moved aside by an earlier run
    UNINSTALL_FILE_GONE = 2,     // neither: only its emptied folders may be left
    UNINSTALL_FILE_UNSEEN = 3,   // not looked at yet: its move tells which
    // Its content (or its backup's) is not what the record keeps the digest
    // of: not the product's, left where it is.
    UNINSTALL_FILE_FOREIGN = 4,
};

struct cUninstallFile {
    _guardchar<wchar_t> path;
    uint8_t state;
    // Outside the install folder: moved and deleted only while its content
    // has the digest the record keeps for it.
    bool checked;
    uint8_t digest[32];
};

// The product to uninstall, named by its code name, and what the job finds
// of it. The caller builds and owns it; the job fills the lists, the form
// reads the languages while the job waits for its answer.
class cUninstallContext {
public:
    explicit cUninstallContext(const wchar_t* code);
    // The code name and its UTF-8 form.
    void SetCodeName(const wchar_t* code);

    _guardchar<wchar_t> code_name;
    _guardchar<char> code_name_utf8;      // its record is "install/<this>"
    cLinkedList<int32_t> languages;       // offered when the record names none
    cLinkedList<cUninstallFile> files;    // recorded files, in record order
    cLinkedList<_guardchar<wchar_t>> shortcuts;  // recorded shortcuts that are files
    // Recorded files and shortcuts outside the product's folders (or all of
    // them, when the record's install folder is damaged), and a list of
    // files the record lacks: each left alone, and told of as damage.
    uint32_t outside;
    // Files outside the install folder whose content is no longer the one
    // the record keeps the digest of: left alone, and told of.
    uint32_t changed;
    // The path the outcome's message names, where it names one.
    _guardchar<wchar_t> error_path;
    // What keeps the store from the uninstall, for the outcomes that tell
    // of one.
    cStoreFault store_fault;
};

// What the job asks of its form, on the job's thread; each call blocks the
// job until the UI thread has answered.
class cUninstallQuestions {
public:
    virtual ~cUninstallQuestions() {}
    // Switches the interface to the language; false when it did not load.
    virtual bool SwitchLanguage(uint32_t id) = 0;
    // One of the context's languages, proposed first; above 9 for none.
    virtual uint32_t ChooseLanguage(uint32_t proposed) = 0;
    // Asks question number n of the form's texts: true for Yes.
    virtual bool Confirm(uint32_t question) = 0;
    // The file is held by another program: true to try again, false to
    // give up.
    virtual bool AskRelease(const wchar_t* path) = 0;
};

// The uninstall of the context's product (UNINSTALL_*), on the job's
// thread. A product with a record in the store loses its files (each moved
// aside first, so that a give-up puts everything back), its shortcuts, its
// Windows entries and then the record; the record goes last and only once
// everything else is gone, so that a run cut off anywhere is finished by
// the next. A product with only the journal of a first installation cut
// off before its record has that run undone. A product with only an entry
// is removed by its own uninstall command (the stop of job, when given,
// ends that command), or by deleting an entry without one. The store may be
// null: there is no record then. A store that cannot serve
// (run_store_refusal), and a record or journal that this run may not take
// (find_own_record_store: others may change it, it is one user's, it is
// all users' and the run may not change their store, or the store that
// would hold it could not be read), stop the uninstall before its first
// question, and so does a record whose store turns out not to be known
// once the user said Yes.
uint32_t run_uninstall(cUninstallContext& context, cApplicationConfig* store, cUninstallQuestions& questions,
                       const cJob* job);

#endif
