#ifndef TESTS_PICT_DECODE_CHECKS_H
#define TESTS_PICT_DECODE_CHECKS_H

#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>

#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "pict/pict_base.h"
#include "pict/pict_target.h"
#include "tests/support/byte_stream.h"

// The picture's own buffer, as bytes.
inline std::string pixel_bytes(cPictBase& picture)
{
    if (picture.deep)
        return std::string(reinterpret_cast<const char*>(picture.pixels64.Data()),
                           size_t(picture.pixels64.Count()) * 8);
    return std::string(reinterpret_cast<const char*>(picture.pixels32.Data()), size_t(picture.pixels32.Count()) * 4);
}

// 32-bit pixels of expected bytes: deep ones by their top bytes.
inline std::vector<uint32_t> pixels32_of(const std::string& expected, bool deep)
{
    std::vector<uint32_t> pixels;
    for (size_t i = 0; i < expected.size(); i += deep ? 8 : 4) {
        uint64_t value = 0;
        memcpy(&value, expected.data() + i, deep ? 8 : 4);
        if (deep)
            value = (value >> 8 & 0xFF) | (value >> 24 & 0xFF) << 8 | (value >> 40 & 0xFF) << 16 |
                    (value >> 56 & 0xFF) << 24;
        pixels.push_back(uint32_t(value));
    }
    return pixels;
}

// What a fresh decoder's LoadPage (page 0 is Load) writes into an
// attached bitmap of width x height, which starts filled with a colour no
// decoder writes; empty when the load fails or leaves the target attached
// or the own buffer filled.
inline std::vector<uint32_t> load_into_bitmap(cPictBase& picture, const std::string& file, int32_t width,
                                              int32_t height, int32_t page = 0)
{
    std::vector<uint32_t> bitmap(size_t(width) * height, 0x12345678);
    cPictTarget target;
    pict_target_init(&target, nullptr);
    target.pixels = bitmap.data();
    target.width = width;
    target.height = height;
    cByteStream stream(file);
    if (!picture.SetOutputTarget(&target) || !picture.LoadPage(&stream.stream, page) || picture.output ||
        picture.pixels32.Data() || picture.pixels64.Data())
        return {};
    return bitmap;
}

// Every cut of the file (every length below full, in steps that stay
// fine near the start) and rounds of random bit flips: each load gives a
// clean answer, and a picture that loads holds exactly its pixels. Cuts
// shorter than needed bytes (0: the whole file) must fail. decoder() makes
// a fresh decoder.
inline void expect_damage_handled(const std::function<cPictBase*()>& decoder, const std::string& file,
                                  int flip_rounds, size_t needed = 0)
{
    auto check = [&](const std::string& data, bool may_load) {
        std::unique_ptr<cPictBase> picture(decoder());
        cByteStream stream(data);
        bool loaded = picture->Load(&stream.stream);
        if (!may_load) {
            EXPECT_FALSE(loaded) << data.size() << " bytes";
        }
        if (loaded) {
            EXPECT_EQ(int64_t(picture->pixels32.Count()) + picture->pixels64.Count(),
                      int64_t(picture->GetWidth()) * picture->GetHeight());
        }
        // The caller's stream stays open.
        EXPECT_EQ(stream.stream.IsOpen(), !data.empty());
    };
    for (size_t length = 0; length < file.size(); length += 1 + length / 64)
        check(file.substr(0, length), needed != 0 && length >= needed);
    std::mt19937 random(uint32_t(file.size()));
    for (int round = 0; round < flip_rounds; ++round) {
        std::string damaged = file;
        for (int flips = 0; flips < 1 + round % 4; ++flips)
            damaged[random() % damaged.size()] ^= char(1 << (random() % 8));
        check(damaged, true);
    }
}

#endif
