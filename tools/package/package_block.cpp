#include "tools/package/package_block.h"

#include <string.h>
#include <windows.h>
#include <zlib.h>

#include "base/file_io_target.h"
#include "base/parallel_for.h"
#include "base/sha256.h"

namespace {

const uint32_t piece_size = 1 << 20;
const uint32_t window_size = 32768;
// A zlib stream's header: deflate with a 32 KiB window, level 9.
const uint8_t zlib_header[2] = {0x78, 0xDA};

struct cBlockWork {
    const cBlockSegment* segments;
    uint32_t count;
    _typebuf<uint32_t> starts;  // the block offset of each segment
    uint32_t total;
    _typebuf<_typebuf<uint8_t>*> outputs;
    _typebuf<uint32_t> checksums;  // Adler-32 of each piece
    uint8_t* digest;
    volatile LONG failed;
};

// Copies length bytes of the block from offset from.
void copy_block_range(const cBlockWork& work, uint32_t from, uint32_t length, uint8_t* out)
{
    uint32_t low = 0, high = work.count;  // the last segment starting at or before from
    while (high - low > 1) {
        uint32_t middle = (low + high) / 2;
        (work.starts[int32_t(middle)] <= from ? low : high) = middle;
    }
    for (uint32_t segment = low; length; ++segment) {
        uint32_t within = from - work.starts[int32_t(segment)];
        const cBlockSegment& part = work.segments[segment];
        if (within >= part.size)
            continue;
        uint32_t count = part.size - within < length ? part.size - within : length;
        memcpy(out, part.data + within, count);
        out += count;
        from += count;
        length -= count;
    }
}

void hash_block(cBlockWork& work)
{
    cSha256Context hash;
    sha256_init(hash);
    for (uint32_t i = 0; i < work.count; ++i)
        sha256_update(hash, work.segments[i].data, work.segments[i].size);
    sha256_final(hash, work.digest);
}

bool deflate_piece(cBlockWork& work, uint32_t piece)
{
    uint32_t start = piece * piece_size;
    uint32_t length = work.total - start < piece_size ? work.total - start : piece_size;
    uint32_t primer = start < window_size ? start : window_size;
    bool last = start + length == work.total;
    _typebuf<uint8_t> input{int32_t(primer + length)};
    if (!input.Data())
        return false;
    copy_block_range(work, start - primer, primer + length, input.Data());
    work.checksums[int32_t(piece)] = uint32_t(adler32(1, input.Data() + primer, length));
    z_stream z;
    memset(&z, 0, sizeof z);
    if (deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    _typebuf<uint8_t>& output = *work.outputs[int32_t(piece)];
    uint64_t room = deflateBound(&z, length) + 64;
    output.Resize(int32_t(room));
    bool done = false;
    if (output.Data() && (!primer || deflateSetDictionary(&z, input.Data(), primer) == Z_OK)) {
        z.next_in = input.Data() + primer;
        z.avail_in = length;
        z.next_out = output.Data();
        z.avail_out = uInt(room);
        int status = deflate(&z, last ? Z_FINISH : Z_SYNC_FLUSH);
        done = last ? status == Z_STREAM_END : status == Z_OK && z.avail_in == 0 && z.avail_out != 0;
    }
    deflateEnd(&z);
    return done && output.Realloc(int32_t(room - z.avail_out));
}

void run_task(void* context, uint32_t task)
{
    cBlockWork& work = *static_cast<cBlockWork*>(context);
    if (task == 0)
        hash_block(work);
    else if (!deflate_piece(work, task - 1))
        InterlockedExchange(&work.failed, 1);
}

}  // namespace

cDeflatedBlock::cDeflatedBlock() : unpacked_size(0), packed_size(0), pieces(1024), checksum(1) {}

bool cDeflatedBlock::Deflate(const cBlockSegment* segments, uint32_t count)
{
    tree_clear(pieces);
    cBlockWork work;
    work.segments = segments;
    work.count = count;
    work.starts.Resize(int32_t(count));
    work.digest = digest;
    work.failed = 0;
    uint64_t total = 0;
    for (uint32_t i = 0; i < count && work.starts.Data(); ++i) {
        work.starts[int32_t(i)] = uint32_t(total);
        total += segments[i].size;
    }
    if (!work.starts.Data() || total == 0 || total > INT32_MAX)
        return false;
    work.total = uint32_t(total);
    uint32_t piece_count = uint32_t((total + piece_size - 1) / piece_size);
    work.outputs.Resize(int32_t(piece_count));
    work.checksums.Resize(int32_t(piece_count));
    if (!work.outputs.Data() || !work.checksums.Data())
        return false;
    for (uint32_t piece = 0; piece < piece_count; ++piece)
        if (!(work.outputs[int32_t(piece)] = tree_get_or_add(pieces, int32_t(piece))))
            return false;
    parallel_for(piece_count + 1, run_task, &work);
    if (work.failed)
        return false;
    uint64_t packed = sizeof zlib_header + 4;
    checksum = 1;
    for (uint32_t piece = 0; piece < piece_count; ++piece) {
        packed += uint32_t(work.outputs[int32_t(piece)]->Count());
        uint32_t length = piece + 1 < piece_count ? piece_size : work.total - piece * piece_size;
        checksum = uint32_t(adler32_combine(checksum, work.checksums[int32_t(piece)], z_off_t(length)));
    }
    if (packed > INT32_MAX)
        return false;
    unpacked_size = work.total;
    packed_size = uint32_t(packed);
    return true;
}

bool cDeflatedBlock::WriteTo(cFileIOTarget* output) const
{
    if (!output->WriteExact(zlib_header, sizeof zlib_header))
        return false;
    for (auto* node = tree_first_node(pieces); node; node = tree_next_node(node))
        if (!output->WriteExact(node->value.Data(), uint32_t(node->value.Count())))
            return false;
    uint8_t trailer[4] = {uint8_t(checksum >> 24), uint8_t(checksum >> 16), uint8_t(checksum >> 8), uint8_t(checksum)};
    return output->WriteExact(trailer, 4);
}
