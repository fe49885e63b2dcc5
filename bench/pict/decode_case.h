#ifndef BENCH_PICT_DECODE_CASE_H
#define BENCH_PICT_DECODE_CASE_H

#include <string.h>

#include <string>
#include <vector>

#include "base/buf_wrapper_io.h"
#include "bench/pict/pixels.h"
#include "bench/support/bench.h"

// A picture class of ours that loads a file in memory into 32-bit pixels.
template <class Picture>
bool decode_in_memory(const std::vector<uint8_t>& file, Picture& picture)
{
    cBufWrapperIO stream(const_cast<uint8_t*>(file.data()), int32_t(file.size()), false);
    return picture.Load(&stream);
}

// A case that times Picture's Load against a reference decoder on one file
// in memory; decode_reference(file, pixels) gives the same 32-bit pixels
// (B, G, R, A, bottom row first), which it must, byte for byte, before any
// timing. The file must outlive the case.
template <class Picture, class Reference>
BenchCase decode_case(const std::string& name, const std::string& reference, double target,
                      const std::vector<uint8_t>& file, Reference decode_reference)
{
    Picture ours;
    cPixels expected;
    bench_require(decode_in_memory(file, ours) && decode_reference(file, expected) &&
                      expected.size == size_t(ours.pixels32.Count()) * 4 &&
                      memcmp(expected.bytes.get(), ours.pixels32.Data(), expected.size) == 0,
                  name);
    return {name, reference, target,
            [&file] {
                Picture picture;
                double us = time_us([&] { decode_in_memory(file, picture); });
                bench_keep(uint64_t(picture.pixels32.Count()));
                return us;
            },
            [&file, decode_reference] {
                cPixels out;
                double us = time_us([&] { decode_reference(file, out); });
                bench_keep(out.size);
                return us;
            }};
}

#endif
