// The JPEG decoder against libjpeg-turbo 2.1.5 without SIMD (the goal: at
// most twice its time for sequential files, 2.5 times for progressive ones)
// and with SIMD (2.5 and 3 times), on the same photo-like files of 1, 3 and
// 12 megapixels in memory, encoded here by libjpeg-turbo at quality 90:
// baseline 4:2:0 and 4:4:4, progressive 4:2:0. Every side decodes to 32-bit
// pixels B, G, R, A, bottom row first; the pixels must agree byte for byte.

#include <string>
#include <vector>

#include "bench/pict/decode_case.h"
#include "bench/pict/jpeg_reference.h"
#include "bench/support/bench.h"
#include "pict/codecs/jpeg.h"

namespace {

struct cPhoto {
    const char* size_name;
    int width;
    int height;
};

struct cLayout {
    const char* name;
    int h, v;
    bool progressive;
    double target;       // against libjpeg-turbo without SIMD
    double simd_target;  // against libjpeg-turbo with SIMD
};

// Deterministic noise.
uint32_t next_random(uint32_t& state)
{
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

// Smooth shading over a coarse random lattice, fine texture, hard-edged
// blocks and a little sensor noise: what a photo's frequencies look like.
std::vector<uint8_t> photo(int width, int height)
{
    const int cell = 64;
    const int lattice_w = width / cell + 2, lattice_h = height / cell + 2;
    uint32_t state = 2024;
    std::vector<int> lattice(size_t(lattice_w) * lattice_h * 3);
    for (int& value : lattice)
        value = int(next_random(state) % 200) + 28;
    std::vector<uint8_t> rgb(size_t(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        const int ly = y / cell, fy = y % cell;
        for (int x = 0; x < width; ++x) {
            const int lx = x / cell, fx = x % cell;
            const bool block = ((x / 97) * 7 + (y / 83) * 3) % 11 == 0;
            for (int c = 0; c < 3; ++c) {
                auto at = [&](int i, int j) { return lattice[(size_t(j) * lattice_w + i) * 3 + c]; };
                const int top = at(lx, ly) * (cell - fx) + at(lx + 1, ly) * fx;
                const int bottom = at(lx, ly + 1) * (cell - fx) + at(lx + 1, ly + 1) * fx;
                int value = (top * (cell - fy) + bottom * fy) / (cell * cell);
                value += ((x * (c + 3) + y * (5 - c)) % 23) - 11;
                value += int(next_random(state) % 7) - 3;
                if (block)
                    value = 255 - value / 2;
                rgb[(size_t(y) * width + x) * 3 + c] = uint8_t(value < 0 ? 0 : value > 255 ? 255 : value);
            }
        }
    }
    return rgb;
}

}  // namespace

int main(int argc, char** argv)
{
    const cPhoto photos[] = {{"1 MP", 1152, 864}, {"3 MP", 2048, 1536}, {"12 MP", 4000, 3000}};
    const cLayout layouts[] = {
        {"baseline 4:2:0", 2, 2, false, 2.0, 2.5},
        {"baseline 4:4:4", 1, 1, false, 2.0, 2.5},
        {"progressive 4:2:0", 2, 2, true, 2.5, 3.0},
    };
    std::vector<std::vector<uint8_t>> files;
    files.reserve(sizeof photos / sizeof photos[0] * sizeof layouts / sizeof layouts[0]);
    std::vector<BenchCase> cases;
    for (const cPhoto& p : photos) {
        const std::vector<uint8_t> rgb = photo(p.width, p.height);
        for (const cLayout& l : layouts) {
            const std::string name = std::string(l.name) + " " + p.size_name;
            files.push_back(jpeg_reference_encode(rgb, p.width, p.height, 90, l.h, l.v, l.progressive));
            // Each side's pixels equal ours, so the two libraries agree too.
            cases.push_back(decode_case<cPictJPEG>("cPictJPEG " + name, "libjpeg-turbo 2.1.5", l.target, files.back(),
                                                   jpeg_reference_decode_plain));
            cases.push_back(decode_case<cPictJPEG>("cPictJPEG " + name, "libjpeg-turbo 2.1.5 SIMD", l.simd_target,
                                                   files.back(), jpeg_reference_decode_simd));
        }
    }
    return bench_run(cases, argc, argv);
}
