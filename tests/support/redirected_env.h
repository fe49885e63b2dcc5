#ifndef TESTS_SUPPORT_REDIRECTED_ENV_H
#define TESTS_SUPPORT_REDIRECTED_ENV_H

#include <windows.h>

#include <string>
#include <vector>

// Environment variables set for one test and put back when the object goes,
// so that folders the system names through them (application data, common
// application data, profiles) point into the test's own temporary folder.
class RedirectedEnv {
public:
    RedirectedEnv() = default;
    ~RedirectedEnv()
    {
        for (auto saved = kept.rbegin(); saved != kept.rend(); ++saved)
            SetEnvironmentVariableW(saved->name.c_str(), saved->was_set ? saved->value.c_str() : nullptr);
    }
    RedirectedEnv(const RedirectedEnv&) = delete;
    RedirectedEnv& operator=(const RedirectedEnv&) = delete;

    // Sets name to value; a null value removes the variable.
    void Set(const wchar_t* name, const wchar_t* value)
    {
        wchar_t old[32768];
        DWORD length = GetEnvironmentVariableW(name, old, 32768);
        kept.push_back({name, length ? std::wstring(old, length) : std::wstring(), length != 0});
        SetEnvironmentVariableW(name, value);
    }

    // Sets name to an internal ('/'-separated) path, with Windows'
    // backslashes as the system would give it.
    void SetPath(const wchar_t* name, std::wstring path)
    {
        for (wchar_t& c : path)
            if (c == L'/')
                c = L'\\';
        Set(name, path.c_str());
    }

private:
    struct Saved {
        std::wstring name;
        std::wstring value;
        bool was_set;
    };
    std::vector<Saved> kept;
};

#endif
