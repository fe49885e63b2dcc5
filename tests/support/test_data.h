#ifndef TESTS_SUPPORT_TEST_DATA_H
#define TESTS_SUPPORT_TEST_DATA_H

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

// Files that the build generates beside the test executable.
inline std::string test_data_path(const char* name)
{
    char module[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string path(module, n);
    return path.substr(0, path.find_last_of("\\/") + 1) + name;
}

inline std::string read_test_data(const char* name)
{
    std::ifstream in(test_data_path(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

#endif
