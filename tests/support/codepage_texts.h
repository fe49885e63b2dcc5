#ifndef TESTS_SUPPORT_CODEPAGE_TEXTS_H
#define TESTS_SUPPORT_CODEPAGE_TEXTS_H

#include <stdint.h>

#include <string>
#include <vector>

#include "tests/support/test_data.h"

// The "text CODEPAGE BYTES UNITS" lines of a generated expectation file:
// sample texts and what they decode to.
struct cExpectedText {
    int32_t codepage;
    std::string bytes;
    std::wstring units;
};

inline std::vector<cExpectedText> read_expected_texts(const char* name)
{
    std::vector<cExpectedText> texts;
    for (const std::vector<std::string>& line : read_test_records(name)) {
        if (line[0] == "text")
            texts.push_back({std::stoi(line[1]), bytes_from_hex(line[2]), units_from_hex(line[3])});
    }
    return texts;
}

#endif
