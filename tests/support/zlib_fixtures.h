#ifndef TESTS_SUPPORT_ZLIB_FIXTURES_H
#define TESTS_SUPPORT_ZLIB_FIXTURES_H

#include <stdint.h>

#include <string>
#include <vector>

#include "tests/support/test_data.h"

// The data that tests/base/zlib_fixtures.py wrote at build time into the
// folder zlib_fixtures beside the test executable.

struct ZlibCase {
    std::string name;
    std::vector<uint8_t> raw;     // the original
    std::vector<uint8_t> packed;  // Python's zlib.compress of it
};

inline std::vector<uint8_t> zlib_fixture(const std::string& file)
{
    std::string bytes = read_test_data(("zlib_fixtures/" + file).c_str());
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

// Every case of cases.txt whose original has the size listed there.
inline std::vector<ZlibCase> zlib_cases()
{
    std::vector<ZlibCase> cases;
    for (const std::vector<std::string>& record : read_test_records("zlib_fixtures/cases.txt")) {
        if (record.size() != 2)
            continue;
        ZlibCase c{record[0], zlib_fixture(record[0] + ".raw"), zlib_fixture(record[0] + ".z")};
        if (c.raw.size() == std::stoul(record[1]) && !c.packed.empty())
            cases.push_back(c);
    }
    return cases;
}

#endif
