#include "tools/shell/record_store.h"

#include "base/app_config.h"
#include "base/ci_app_full_config.h"
#include "tools/shell/record_keys.h"

uint32_t find_record_store(cApplicationConfig& config, const char* key, cApplicationConfig*& holder)
{
    holder = nullptr;
    if (!key || !key[0])
        return RECORD_STORE_NONE;
    cCIAppFullConfig* full = dynamic_cast<cCIAppFullConfig*>(&config);
    cApplicationConfig* found = full ? full->StoreHolding(key) : config.HasKey(key) ? &config : nullptr;
    if (!found)
        return RECORD_STORE_NONE;
    if (!full || found == &full->GetUserStore()) {
        holder = found;
        return RECORD_STORE_USER;
    }
    if (!full->CommonKeyGuarded(key))
        return RECORD_STORE_UNGUARDED;
    holder = found;
    return RECORD_STORE_COMMON;
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

bool common_store_file_of(cApplicationConfig& config, const char* key, _guardchar<wchar_t>& path)
{
    cCIAppFullConfig* full = dynamic_cast<cCIAppFullConfig*>(&config);
    return full && full->GetCommonStore().FileOf(key, path);
}
