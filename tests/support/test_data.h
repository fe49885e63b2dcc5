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

// Hexadecimal fields: a number, a byte string (two digits a byte) and a
// UTF-16 string (four digits a unit).
inline unsigned hex_value(const std::string& field)
{
    return unsigned(std::stoul(field, nullptr, 16));
}

inline std::string bytes_from_hex(const std::string& hex)
{
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(char(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

// Two lowercase digits a byte; the form the generated files use.
inline std::string hex_of(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex.push_back(digits[c >> 4]);
        hex.push_back(digits[c & 15]);
    }
    return hex;
}

// ASCII text between its UTF-16 and byte forms.
inline std::string narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

inline std::wstring widened(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

inline std::wstring units_from_hex(const std::string& hex)
{
    std::wstring units;
    for (size_t i = 0; i + 3 < hex.size(); i += 4)
        units.push_back(wchar_t(std::stoul(hex.substr(i, 4), nullptr, 16)));
    return units;
}

#endif
