#ifndef TESTS_SUPPORT_ARTIFACTS_H
#define TESTS_SUPPORT_ARTIFACTS_H

#include <stdint.h>
#include <windows.h>
#include <zlib.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/support/test_data.h"

// Keeps bytes in the build's artifacts folder (beside the tests folder that
// holds the test executable), for a look or a later check.
inline void keep_artifact(const char* name, const void* bytes, size_t size)
{
    std::string path = test_data_path("");
    std::string folder = path.substr(0, path.rfind("\\tests\\") + 1) + "artifacts";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::ofstream(folder + "\\" + name, std::ios::binary).write(static_cast<const char*>(bytes), std::streamsize(size));
}

// An 8-bit RGB PNG file, made with zlib, of 0x00BBGGRR pixels, top row
// first.
inline std::string png_of(int32_t width, int32_t height, const std::vector<uint32_t>& pixels)
{
    std::string rows;
    for (int32_t y = 0; y < height; ++y) {
        rows.push_back(0);
        for (int32_t x = 0; x < width; ++x)
            for (int shift : {0, 8, 16})
                rows.push_back(char(pixels[size_t(y) * size_t(width) + size_t(x)] >> shift));
    }
    std::vector<Bytef> packed(compressBound(uLong(rows.size())));
    uLongf packed_size = uLongf(packed.size());
    compress(packed.data(), &packed_size, reinterpret_cast<const Bytef*>(rows.data()), uLong(rows.size()));
    auto big_endian = [](uint32_t v) { return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; };
    auto chunk = [&](const std::string& kind, const std::string& data) {
        std::string body = kind + data;
        return big_endian(uint32_t(data.size())) + body +
               big_endian(uint32_t(crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()))));
    };
    std::string header =
        big_endian(uint32_t(width)) + big_endian(uint32_t(height)) + std::string("\x08\x02\x00\x00\x00", 5);
    return "\x89PNG\r\n\x1A\n" + chunk("IHDR", header) +
           chunk("IDAT", std::string(packed.begin(), packed.begin() + packed_size)) + chunk("IEND", "");
}

#endif
