#ifndef TOOLS_SHELL_RECORD_STORE_H
#define TOOLS_SHELL_RECORD_STORE_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/ci_app_full_config.h"
#include "base/config_file.h"
#include "base/linked_list.h"

// Which store of the program's configuration holds a key, for this run.
enum : uint32_t {
    RECORD_STORE_NONE = 0,    // neither store has the key
    RECORD_STORE_USER = 1,    // the per-user store, the user's own
    RECORD_STORE_COMMON = 2,  // the common store, which only administrators may change
    // The common store, but others than the administrators may change it
    // (cCIAppFullConfig::CommonKeyGuarded) where it holds the key, or, for
    // a run with administrator rights, it cannot serve
    // (cCIAppFullConfig::StoreUsable): not to be taken for what was
    // installed for all users, nor written into, nor made up for by the
    // per-user store.
    RECORD_STORE_UNGUARDED = 3,
    // Only the per-user store has the key, and the run has administrator
    // rights: every program the user runs may write that store, so it
    // steers none of this run's work.
    RECORD_STORE_PER_USER_ONLY = 4,
    // The run, without administrator rights, has no per-user store that
    // can serve (cCIAppFullConfig::StoreUsable), whatever the key.
    RECORD_STORE_NO_PLACE = 5,
    // The run's own store does not have the key, and the file of it in the
    // store the run only reads is not known (cCIAppFullConfig::
    // OtherStoreFault): whether it is there cannot be told.
    RECORD_STORE_UNREAD = 6,
    // Only the common store has the key, and the run has no administrator
    // rights (find_own_record_store): the run reads it, but may not change
    // it, so it acts on none of it.
    RECORD_STORE_ALL_USERS_ONLY = 7,
};

// The run has administrator rights (cCIAppFullConfig::ForAllUsers): it
// keeps and reads records, journals and the shared "installer/..." values
// in the common store alone, and stops where that cannot be had; any other
// run keeps them in the per-user store and also reads the records that the
// guarded common store holds.
bool run_records_for_all_users(cApplicationConfig& config);

// The gate every road that reads or writes records passes before it acts,
// and again where it decides: the run's own store as the configuration
// judged it when it opened, and as every read of it since found it
// (cCIAppFullConfig::StoreUsable). RECORD_STORE_NONE while it serves (and
// for a configuration of one store, or none); else RECORD_STORE_UNGUARDED
// for a run with administrator rights, RECORD_STORE_NO_PLACE for any other,
// fault (when given) telling what stands in the way
// (cCIAppFullConfig::Refusal). A road that decides by every record of both
// stores (the manager's list, the remover) gives listed: then also
// RECORD_STORE_UNREAD where the records of the store the run only reads are
// not known, fault naming what was in the way.
uint32_t run_store_refusal(cApplicationConfig* config, cStoreFault* fault, bool listed = false);

// Judges the program's stores afresh from the disk (cCIAppFullConfig::
// Reopen), for a run that stays open: what it lists or decides next is what
// the disk holds now, never what a read that failed before left. Nothing
// for a configuration of one store, or none.
void rejudge_stores(cApplicationConfig* config);

// The one store that holds key (a record "install/<code name>", a folder
// journal "journal/<code name>", a shared "installer/..." value) for this
// run, from which it is read whole, never overlaid value by value by the
// other store: the common store when it has the key, else the per-user one
// for a run without administrator rights. A configuration of one store
// (not the program's two) holds as the per-user store.
// RECORD_STORE_*; holder is the store to read for USER and COMMON, null
// otherwise. Asked where a road decides: a read that fails on the way makes
// the answer a refusal, never NONE.
uint32_t find_record_store(cApplicationConfig& config, const char* key, cApplicationConfig*& holder);

// The same for a road that changes what it finds there (the uninstall, the
// installer): a key that only the common store holds, under a run without
// administrator rights, is RECORD_STORE_ALL_USERS_ONLY, with no holder.
uint32_t find_own_record_store(cApplicationConfig& config, const char* key, cApplicationConfig*& holder);

// find_record_store's holder alone: the store to read key from, or null
// (also for a null config).
cApplicationConfig* record_holder(cApplicationConfig* config, const char* key);

// The same for the record of the product with that code name (UTF-8), whose
// key (record_key_of) goes to key.
cApplicationConfig* record_holder_of(cApplicationConfig* config, const char* code_name, _guardchar<char>& key);

// The run refuses the key where held (RECORD_STORE_*) is UNGUARDED,
// PER_USER_ONLY, NO_PLACE, UNREAD or ALL_USERS_ONLY.
bool record_store_refused(uint32_t held);

// The store this run writes key into: the one that holds it, else the run's
// own (cCIAppFullConfig::OwnStoreFor). Null where find_own_record_store
// refuses the key (record_store_refused).
cApplicationConfig* record_target(cApplicationConfig& config, const char* key);

// For a message on a refused key: where the run's own store cannot serve,
// what stands in its way (run_store_refusal); else with
// RECORD_STORE_UNGUARDED the first folder or file of the common store, from
// the top, that others may change; with RECORD_STORE_UNREAD what the other
// store could not read; with RECORD_STORE_PER_USER_ONLY and
// RECORD_STORE_ALL_USERS_ONLY the store's file of the key (its place
// alone). False otherwise.
bool refused_store_fault(cApplicationConfig& config, const char* key, uint32_t held, cStoreFault& fault);

// store is config's common store.
inline bool is_common_store(cApplicationConfig* config, cApplicationConfig& store)
{
    cCIAppFullConfig* full = dynamic_cast<cCIAppFullConfig*>(config);
    return full && &store == &full->GetCommonStore();
}

// What kept the last save of store, one of config's stores, from its place
// (cCIAppConfig::SaveFault), with whether it is the common store, in fault.
inline void store_save_fault(cApplicationConfig* config, cApplicationConfig& store, cStoreFault& fault)
{
    cCIAppConfig* files = dynamic_cast<cCIAppConfig*>(&store);
    if (files)
        fault.Set(files->SaveFault().kind, files->SaveFault().place.Text());
    fault.common = is_common_store(config, store);
}

// The content of store's file of key (store one of config's stores, or a
// store of its own) is not known: a read of it failed (cCIAppConfig::
// FileFault). True with the fault, and whether it is the common store's,
// in fault.
inline bool store_file_fault(cApplicationConfig* config, cApplicationConfig& store, const char* key,
                             cStoreFault& fault)
{
    cCIAppConfig* files = dynamic_cast<cCIAppConfig*>(&store);
    // Asked once: each asking may read a newer file again.
    const cStoreFault* found = files ? &files->FileFault(key) : nullptr;
    if (!found || found->kind == CFG_FAULT_NONE)
        return false;
    fault.Assign(*found);
    fault.common = is_common_store(config, store);
    return true;
}

// The code names (UTF-8) that either store records a product under
// ("install/<code name>"), each once, in key order of the common store and
// then of the per-user store.
typedef cLinkedList<_guardchar<char>> cRecordNames;
void list_record_names(cApplicationConfig& config, cRecordNames& names);

// Those of them that the run refuses as recorded for one user only
// (RECORD_STORE_PER_USER_ONLY): what a run with administrator rights leaves
// to their user, who reaches them without those rights. True when other
// products are recorded too.
bool list_per_user_products(cApplicationConfig& config, cRecordNames& names);

#endif
