#ifndef TESTS_SUPPORT_FILE_BYTES_H
#define TESTS_SUPPORT_FILE_BYTES_H

#include <stdint.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// The whole content of a file that a test or a build script wrote; empty
// when it cannot be read.
inline std::vector<uint8_t> file_bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

#endif
