#include <stdlib.h>
#include <string.h>
#include <zlib.h>

#include <memory>
#include <random>

#include "base/buf_wrapper_io.h"
#include "base/crc32.h"
#include "base/decompress.h"
#include "base/sha256.h"
#include "base/z_stream.h"
#include "bench/base/base_bench.h"

namespace {

// Text of lines of words, as much of a package is, deflated at the level
// packages use.
struct ZlibData {
    std::vector<uint8_t> raw;
    std::vector<uint8_t> packed;
};

const ZlibData& zlib_data()
{
    static const ZlibData data = [] {
        ZlibData d;
        std::mt19937 random(7);
        const char* words[] = {"stream", "window", "package", "member", "install", "folder", "setting", "view"};
        while (d.raw.size() < (8u << 20)) {
            for (int n = 3 + int(random() % 10); n > 0; --n) {
                const char* word = words[random() % 8];
                d.raw.insert(d.raw.end(), word, word + strlen(word));
                d.raw.push_back(random() % 5 ? ' ' : ',');
            }
            d.raw.push_back('\n');
        }
        uLongf size = compressBound(uLong(d.raw.size()));
        d.packed.resize(size);
        compress2(d.packed.data(), &size, d.raw.data(), uLong(d.raw.size()), 9);
        d.packed.resize(size);
        return d;
    }();
    return data;
}

// zlib's own inflate of the whole input into out_size bytes at a time;
// calls sink with each piece.
template <class Sink>
void zlib_inflate_all(const std::vector<uint8_t>& packed, uint8_t* out, uint32_t out_size, Sink&& sink)
{
    z_stream z = {};
    inflateInit(&z);
    z.next_in = const_cast<Bytef*>(packed.data());
    z.avail_in = uInt(packed.size());
    int answer = Z_OK;
    while (answer == Z_OK) {
        z.next_out = out;
        z.avail_out = out_size;
        answer = inflate(&z, Z_NO_FLUSH);
        sink(out, out_size - z.avail_out);
    }
    inflateEnd(&z);
}

// Reads the whole of a 4 KiB-view stream over packed, 1 MiB at a time.
template <class Sink>
void zstream_read_all(const ZlibData& d, uint8_t* out, uint32_t out_size, Sink&& sink)
{
    cBufWrapperIO source(const_cast<uint8_t*>(d.packed.data()), int32_t(d.packed.size()), false);
    cZStream stream;
    stream.Attach(&source, d.raw.size(), 4096, false);
    for (int32_t got; (got = stream.Read(out, out_size)) > 0;)
        sink(out, uint32_t(got));
}

const uint32_t read_size = 1 << 20;

double crc_ours()
{
    const ZlibData& d = zlib_data();
    return time_us([&] { bench_keep(crc32_compute(d.raw.data(), int32_t(d.raw.size()))); });
}

double crc_zlib()
{
    const ZlibData& d = zlib_data();
    return time_us([&] { bench_keep(crc32(0, d.raw.data(), uInt(d.raw.size()))); });
}

// The package's digest as the program takes it (the processor's SHA
// instructions where it has them) against the portable routine.
double sha256_with(cSha256Blocks compress)
{
    const ZlibData& d = zlib_data();
    return time_us([&] {
        cSha256Context context;
        if (compress)
            sha256_init_with(context, compress);
        else
            sha256_init(context);
        sha256_update(context, d.raw.data(), d.raw.size());
        uint8_t digest[32];
        sha256_final(context, digest);
        bench_keep(digest[0]);
    });
}

double zstream_ours()
{
    std::unique_ptr<uint8_t[]> out(new uint8_t[read_size]);
    return time_us([&] { zstream_read_all(zlib_data(), out.get(), read_size, [](const uint8_t*, uint32_t) {}); });
}

double zstream_zlib()
{
    std::unique_ptr<uint8_t[]> out(new uint8_t[read_size]);
    return time_us([&] { zlib_inflate_all(zlib_data().packed, out.get(), read_size, [](const uint8_t*, uint32_t) {}); });
}

// The one-shot decompressor, told the inflated size or not, against zlib
// inflating into a buffer of that size; both allocate their output.
double to_buffer_ours(uint32_t stated)
{
    const ZlibData& d = zlib_data();
    return time_us([&] {
        cZDecompress decompressor;
        _typebuf<uint8_t> out;
        decompressor.DecompressToBuffer(d.packed.data(), uint32_t(d.packed.size()), out, stated);
        bench_keep(out.Data()[out.Count() - 1]);
    });
}

double to_buffer_zlib()
{
    const ZlibData& d = zlib_data();
    return time_us([&] {
        uint8_t* out = static_cast<uint8_t*>(malloc(d.raw.size()));
        zlib_inflate_all(d.packed, out, uint32_t(d.raw.size()), [](const uint8_t*, uint32_t) {});
        bench_keep(out[d.raw.size() - 1]);
        free(out);
    });
}

// Both sides give the original, piece for piece.
void require_same_output()
{
    const ZlibData& d = zlib_data();
    bench_require(crc32_compute(d.raw.data(), int32_t(d.raw.size())) == crc32(0, d.raw.data(), uInt(d.raw.size())),
                  "CRC-32");
    std::vector<uint8_t> ours, theirs, out(read_size);
    zstream_read_all(d, out.data(), read_size, [&](const uint8_t* p, uint32_t n) { ours.insert(ours.end(), p, p + n); });
    zlib_inflate_all(d.packed, out.data(), read_size,
                     [&](const uint8_t* p, uint32_t n) { theirs.insert(theirs.end(), p, p + n); });
    bench_require(ours == d.raw && theirs == d.raw, "cZStream");
    for (uint32_t stated : {uint32_t(d.raw.size()), 0u}) {
        cZDecompress decompressor;
        _typebuf<uint8_t> buffer;
        bench_require(decompressor.DecompressToBuffer(d.packed.data(), uint32_t(d.packed.size()), buffer, stated) &&
                          buffer.Count() == int32_t(d.raw.size()) &&
                          memcmp(buffer.Data(), d.raw.data(), d.raw.size()) == 0,
                      "DecompressToBuffer");
    }
}

}  // namespace

std::vector<BenchCase> zlib_bench_cases()
{
    require_same_output();
    const uint32_t size = uint32_t(zlib_data().raw.size());
    std::vector<BenchCase> cases = {
        {"crc32_compute, 8 MiB", "zlib crc32()", 1.1, crc_ours, crc_zlib},
        {"cZStream, 4 KiB view, 1 MiB reads", "inflate() into 1 MiB", 1.05, zstream_ours, zstream_zlib},
        {"DecompressToBuffer, size stated", "inflate() into a buffer of the size", 1.1,
         [size] { return to_buffer_ours(size); }, to_buffer_zlib},
        {"DecompressToBuffer, size unknown", "inflate() into a buffer of the size", 1.1,
         [] { return to_buffer_ours(0); }, to_buffer_zlib},
    };
    // Without the SHA instructions the program's choice is the portable
    // routine itself: nothing to compare.
    if (sha256_has_sha_instructions())
        cases.push_back({"sha256, 8 MiB, the program's choice", "the portable routine", 0.5,
                         [] { return sha256_with(nullptr); }, [] { return sha256_with(sha256_blocks_portable); }});
    return cases;
}
