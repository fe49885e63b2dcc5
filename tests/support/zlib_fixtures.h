#ifndef TESTS_SUPPORT_ZLIB_FIXTURES_H
#define TESTS_SUPPORT_ZLIB_FIXTURES_H

#include <stdint.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/support/file_bytes.h"

// The data that tests/base/zlib_fixtures.py wrote at build time into the
// folder the test target names as ZLIB_FIXTURES.

struct ZlibCase {
    std::string name;
    std::vector<uint8_t> raw;     // the original
    std::vector<uint8_t> packed;  // Python's zlib.compress of it
};

inline std::vector<uint8_t> zlib_fixture(const std::string& file)
{
    return file_bytes(std::string(ZLIB_FIXTURES) + "/" + file);
}

// Every case of cases.txt, with its sizes checked against the listing.
inline std::vector<ZlibCase> zlib_cases()
{
    std::vector<ZlibCase> cases;
    std::ifstream listing(std::string(ZLIB_FIXTURES) + "/cases.txt");
    std::string name;
    size_t size = 0;
    while (listing >> name >> size) {
        ZlibCase c{name, zlib_fixture(name + ".raw"), zlib_fixture(name + ".z")};
        if (c.raw.size() == size && !c.packed.empty())
            cases.push_back(c);
    }
    return cases;
}

#endif
