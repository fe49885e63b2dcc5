#ifndef TESTS_SUPPORT_LANGUAGE_CONFIG_H
#define TESTS_SUPPORT_LANGUAGE_CONFIG_H

#include <string>

#include "base/app_config.h"

// A configuration without a store that holds one number under
// "lang/current" (none for a negative one) and nothing else.
class cLanguageConfig : public cApplicationConfig {
public:
    explicit cLanguageConfig(int64_t stored_language = -1) : language(stored_language) {}
    void* GetRoot() override { return nullptr; }
    void* GetChild(const char*, void*, bool) override { return nullptr; }
    bool GetValueSize(void*, uint32_t&) override { return false; }
    bool KeepsText() override { return false; }
    bool OpenStore(const wchar_t*) override { return true; }
    bool ReadInt64(const char* key, int64_t& out) override
    {
        if (language < 0 || std::string(key) != "lang/current")
            return false;
        out = language;
        return true;
    }
    int64_t language;
};

#endif
