#include "tools/shell/record_store.h"

#include "base/app_config.h"
#include "base/ci_app_full_config.h"
#include "base/packed_key.h"
#include "base/tree_map.h"
#include "tools/shell/record_keys.h"

namespace {

// The names listed so far, and the same as a set: a store file may name
// any number of products.
struct cNameCollection {
    cRecordNames& names;
    cTreeMap<cPackedKey, uint8_t> seen;
};

// Enumeration callback: each child name of "install" once.
bool collect_name(const char* name, void* context)
{
    cNameCollection& collection = *static_cast<cNameCollection*>(context);
    cPackedKey key;
    if (!name || !name[0])
        return true;
    packedkey_from_str(key, name, -1);
    if (key.Data() && !tree_find_node(collection.seen, key)) {
        tree_get_or_add(collection.seen, static_cast<cPackedKey&&>(key));
        list_append_text(collection.names, name);
    }
    return true;
}

// Whether the store a run only reads may decide where key is: for a run
// with administrator rights only as it records products (their records and
// journals), which that run leaves to their user; its other values steer
// nothing of such a run. For any other run every value it reads there.
bool other_store_decides(bool all_users, const char* key)
{
    return !all_users || is_product_key(key);
}

}  // namespace

bool run_records_for_all_users(cApplicationConfig& config)
{
    cCIAppFullConfig* full = dynamic_cast<cCIAppFullConfig*>(&config);
    return full && full->ForAllUsers();
}

uint32_t run_store_refusal(cApplicationConfig* config, cStoreFault* fault, bool listed)
{
    cCIAppFullConfig* full = dynamic_cast<cCIAppFullConfig*>(config);
    cStoreFault unread;
    if (!full)
        return RECORD_STORE_NONE;
    if (!full->StoreUsable()) {
        if (fault) {
            fault->Assign(full->Refusal());
            fault->common = full->ForAllUsers();
        }
        return full->ForAllUsers() ? RECORD_STORE_UNGUARDED : RECORD_STORE_NO_PLACE;
    }
    if (!listed || !full->OtherStoreFault(record_names_key, unread))
        return RECORD_STORE_NONE;
    if (fault)
        fault->Assign(unread);
    return RECORD_STORE_UNREAD;
}

void rejudge_stores(cApplicationConfig* config)
{
    if (cCIAppFullConfig* full = dynamic_cast<cCIAppFullConfig*>(config))
        full->Reopen();
}

uint32_t find_record_store(cApplicationConfig& config, const char* key, cApplicationConfig*& holder)
{
    holder = nullptr;
    if (!key || !key[0])
        return RECORD_STORE_NONE;
    cCIAppFullConfig* full = dynamic_cast<cCIAppFullConfig*>(&config);
    if (!full) {
        holder = config.HasKey(key) ? &config : nullptr;
        return holder ? RECORD_STORE_USER : RECORD_STORE_NONE;
    }
    cCIAppConfig& common = full->GetCommonStore();
    cCIAppConfig& user = full->GetUserStore();
    // A run for all users keeps the key in the common store or nowhere,
    // whatever stands in that store's place.
    bool all_users = full->ForAllUsers();
    // Looked up first: the read may find the file not known.
    cCIAppConfig* own = full->OwnStoreFor();
    bool own_holds = own && own->HasKey(key);
    uint32_t refused = run_store_refusal(&config, nullptr);
    if (refused != RECORD_STORE_NONE)
        return refused;
    // What the other store could not read may hold the key: only the run's
    // own record of it settles where it is.
    cStoreFault unread;
    if (!own_holds && other_store_decides(all_users, key) && full->OtherStoreFault(key, unread))
        return RECORD_STORE_UNREAD;
    if (!all_users && common.HasKey(key) && !full->CommonKeyGuarded(key))
        return RECORD_STORE_UNGUARDED;
    if (common.HasKey(key)) {
        holder = &common;
        return RECORD_STORE_COMMON;
    }
    if (all_users)
        return user.HasKey(key) ? RECORD_STORE_PER_USER_ONLY : RECORD_STORE_NONE;
    if (!user.HasKey(key))
        return RECORD_STORE_NONE;
    holder = &user;
    return RECORD_STORE_USER;
}

uint32_t find_own_record_store(cApplicationConfig& config, const char* key, cApplicationConfig*& holder)
{
    uint32_t held = find_record_store(config, key, holder);
    if (held != RECORD_STORE_COMMON || run_records_for_all_users(config))
        return held;
    holder = nullptr;
    return RECORD_STORE_ALL_USERS_ONLY;
}

cApplicationConfig* record_holder(cApplicationConfig* config, const char* key)
{
    cApplicationConfig* holder = nullptr;
    if (config)
        find_record_store(*config, key, holder);
    return holder;
}

cApplicationConfig* record_holder_of(cApplicationConfig* config, const char* code_name, _guardchar<char>& key)
{
    return record_key_of(code_name, key) ? record_holder(config, key.Text()) : nullptr;
}

bool record_store_refused(uint32_t held)
{
    return held == RECORD_STORE_UNGUARDED || held == RECORD_STORE_PER_USER_ONLY || held == RECORD_STORE_NO_PLACE ||
           held == RECORD_STORE_UNREAD || held == RECORD_STORE_ALL_USERS_ONLY;
}

cApplicationConfig* record_target(cApplicationConfig& config, const char* key)
{
    cApplicationConfig* holder = nullptr;
    if (find_own_record_store(config, key, holder) != RECORD_STORE_NONE)
        return holder;
    cCIAppFullConfig* full = dynamic_cast<cCIAppFullConfig*>(&config);
    return full ? full->OwnStoreFor() : &config;
}

bool refused_store_fault(cApplicationConfig& config, const char* key, uint32_t held, cStoreFault& fault)
{
    cCIAppFullConfig* full = dynamic_cast<cCIAppFullConfig*>(&config);
    if (!full)
        return false;
    bool only_one_scope = held == RECORD_STORE_PER_USER_ONLY || held == RECORD_STORE_ALL_USERS_ONLY;
    if (!only_one_scope && run_store_refusal(&config, &fault) != RECORD_STORE_NONE)
        return true;
    switch (held) {
    case RECORD_STORE_UNGUARDED:
        fault.kind = CFG_FAULT_PLACE;
        fault.common = true;
        return !full->CommonKeyGuarded(key, &fault.place) && !fault.place.IsEmpty();
    case RECORD_STORE_UNREAD:
        return full->OtherStoreFault(key, fault);
    case RECORD_STORE_PER_USER_ONLY:
        return full->GetUserStore().FileOf(key, fault.place);
    case RECORD_STORE_ALL_USERS_ONLY:
        return full->GetCommonStore().FileOf(key, fault.place);
    default:
        return false;
    }
}

void list_record_names(cApplicationConfig& config, cRecordNames& names)
{
    cNameCollection collection{names, cTreeMap<cPackedKey, uint8_t>(1024)};
    config.EnumChildren(record_names_key, collect_name, &collection);
}

bool list_per_user_products(cApplicationConfig& config, cRecordNames& names)
{
    cRecordNames all;
    list_record_names(config, all);
    bool others = false;
    for (cRecordNames::Node* node = all.first; node; node = node->next) {
        _guardchar<char> key;
        cApplicationConfig* holder = nullptr;
        if (record_key_of(node->element.Text(), key) &&
            find_record_store(config, key.Text(), holder) == RECORD_STORE_PER_USER_ONLY)
            list_append_text(names, node->element.Text());
        else
            others = true;
    }
    return others;
}
