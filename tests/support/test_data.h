#ifndef TESTS_SUPPORT_TEST_DATA_H
#define TESTS_SUPPORT_TEST_DATA_H

#include <windows.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

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

// The whitespace-separated fields of each line of a generated text file.
inline std::vector<std::vector<std::string>> read_test_records(const char* name)
{
    std::istringstream text(read_test_data(name));
    std::vector<std::vector<std::string>> records;
    for (std::string line; std::getline(text, line);) {
        std::istringstream fields(line);
        std::vector<std::string> record;
        for (std::string field; fields >> field;)
            record.push_back(field);
        if (!record.empty())
            records.push_back(record);
    }
    return records;
}

#endif
