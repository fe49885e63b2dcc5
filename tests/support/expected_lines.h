#ifndef TESTS_SUPPORT_EXPECTED_LINES_H
#define TESTS_SUPPORT_EXPECTED_LINES_H

#include <stdint.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// Expectations that a script wrote at build time: one per line, fields
// separated by spaces. Byte and unit strings are written in hex, units as
// four digits each.

typedef std::vector<std::string> tExpectedLine;

inline std::vector<tExpectedLine> read_expected_lines(const char* path)
{
    std::vector<tExpectedLine> lines;
    std::ifstream file(path);
    std::string text;
    while (std::getline(file, text)) {
        std::istringstream fields(text);
        tExpectedLine line;
        for (std::string field; fields >> field;)
            line.push_back(field);
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

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

inline std::wstring units_from_hex(const std::string& hex)
{
    std::wstring units;
    for (size_t i = 0; i + 3 < hex.size(); i += 4)
        units.push_back(wchar_t(std::stoul(hex.substr(i, 4), nullptr, 16)));
    return units;
}

// The "text CODEPAGE BYTES UNITS" lines: sample texts in a code page.
struct cExpectedText {
    int32_t codepage;
    std::string bytes;
    std::wstring units;
};

inline std::vector<cExpectedText> read_expected_texts(const char* path)
{
    std::vector<cExpectedText> texts;
    for (const tExpectedLine& line : read_expected_lines(path)) {
        if (line[0] == "text")
            texts.push_back({std::stoi(line[1]), bytes_from_hex(line[2]), units_from_hex(line[3])});
    }
    return texts;
}

#endif
