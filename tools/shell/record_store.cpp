#include "tools/shell/record_store.h"

#include "base/admin_access.h"
#include "base/app_config.h"
#include "base/ci_app_full_config.h"
#include "tools/shell/record_keys.h"

bool run_records_for_all_users(cApplicationConfig& config)
{
    cCIAppFullConfig* full = dynamic_cast<cCIAppFullConfig*>(&config);
    return full && full->GetCommonStore().IsOpen() && process_is_administrator();
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
    bool all_users = run_records_for_all_users(config);
    cCIAppConfig& common = full->GetCommonStore();
    bool in_common = common.HasKey(key);
    // A run for all users would keep the key there, and finds it nowhere
    // else; an administrator's run whose common store others kept it from
    // having would take the per-user store instead.
    bool blocked = full->CommonPlaceOpen() && process_is_administrator();
    if (blocked || ((in_common || all_users) && !full->CommonKeyGuarded(key)))
        return RECORD_STORE_UNGUARDED;
    if (in_common) {
        holder = &common;
        return RECORD_STORE_COMMON;
    }
    if (!full->GetUserStore().HasKey(key))
        return RECORD_STORE_NONE;
    if (all_users)
        return RECORD_STORE_PER_USER_ONLY;
    holder = &full->GetUserStore();
    return RECORD_STORE_USER;
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

cApplicationConfig* record_target(cApplicationConfig& config, const char* key)
{
    cApplicationConfig* holder = nullptr;
    uint32_t held = find_record_store(config, key, holder);
    if (held != RECORD_STORE_NONE)
        return holder;
    cCIAppFullConfig* full = dynamic_cast<cCIAppFullConfig*>(&config);
    if (!full)
        return &config;
    return run_records_for_all_users(config) ? static_cast<cApplicationConfig*>(&full->GetCommonStore())
                                             : &full->GetUserStore();
}

bool refused_store_path(cApplicationConfig& config, const char* key, uint32_t held, _guardchar<wchar_t>& path)
{
    cCIAppFullConfig* full = dynamic_cast<cCIAppFullConfig*>(&config);
    if (!full)
        return false;
    if (held == RECORD_STORE_UNGUARDED) {
        _guardchar<wchar_t> open;
        if (full->CommonKeyGuarded(key, &open) || open.IsEmpty())
            return false;
        path.Swap(open);
        return true;
    }
    return held == RECORD_STORE_PER_USER_ONLY && full->GetUserStore().FileOf(key, path);
}
