#include "tools/package/package_block.h"

#include <string.h>
#include <windows.h>
#include <zlib.h>

#include "base/buffers/typebuf.h"
#include "base/critical_section.h"
#include "base/event.h"
#include "base/file_io_target.h"
#include "base/parallel_for.h"
#include "base/sha256.h"
#include "base/tree_map.h"

namespace {

const uint32_t piece_size = 1 << 20;
const uint32_t window_size = 32768;
// At most this many pieces are deflated or wait to be written at a time:
// the pieces' memory comes on top of the whole block's.
const uint32_t pieces_in_memory = 4;
// A zlib stream's header: deflate with a 32 KiB window, level 9.
const uint8_t zlib_header[2] = {0x78, 0xDA};

struct cBlockWork {
    cBlockWork() : waiting(1024) {}

    const cBlockSegment* segments;
    uint32_t count;
    _typebuf<uint32_t> starts;  // the block offset of each segment
    uint32_t total;
    _typebuf<uint32_t> checksums;  // Adler-32 of each piece
    uint8_t* digest;
    // Pieces are written in order: a finished piece waits until every piece
    // before it is out, and a piece starts only while it is one of the
    // pieces_in_memory pieces from the first unwritten one on.
    cCriticalSection lock;  // guards the fields below
    cEvent advanced;        // manual reset; set when next_to_write moves or the work fails
    cFileIOTarget* output;
    volatile LONG failed;
    uint32_t next_to_write;
    uint64_t written;
    cTreeMap<int32_t, _typebuf<uint8_t>> waiting;  // piece index -> deflated bytes
};

// Calls take(data, size) for each run of the block's bytes, in order, that
// together make up the length bytes from offset from.
template <class Take>
void for_each_run(const cBlockWork& work, uint32_t from, uint32_t length, Take take)
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
        take(part.data + within, count);
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

void fail(cBlockWork& work)
{
    cSafeCriticalSectionAccess access(&work.lock);
    InterlockedExchange(&work.failed, 1);
    work.advanced.Set();
}

// Returns once the piece may start (or the work has failed).
void wait_for_turn(cBlockWork& work, uint32_t piece)
{
    for (;;) {
        {
            cSafeCriticalSectionAccess access(&work.lock);
            if (piece - work.next_to_write < pieces_in_memory || work.failed)
                return;
            work.advanced.Reset();
        }
        work.advanced.Wait();
    }
}

// Takes the finished piece and writes every piece that no longer waits
// for an earlier one.
bool hand_in_piece(cBlockWork& work, uint32_t piece, _typebuf<uint8_t>& output)
{
    cSafeCriticalSectionAccess access(&work.lock);
    _typebuf<uint8_t>* kept = tree_get_or_add(work.waiting, int32_t(piece));
    if (!kept)
        return false;
    *kept = static_cast<_typebuf<uint8_t>&&>(output);
    while (auto* next = tree_find_node(work.waiting, int32_t(work.next_to_write))) {
        const _typebuf<uint8_t>& bytes = next->value;
        if (!work.output->WriteExact(bytes.Data(), uint32_t(bytes.Count())))
            return false;
        work.written += uint32_t(bytes.Count());
        tree_erase_node(work.waiting, next);
        ++work.next_to_write;
        work.advanced.Set();
    }
    return true;
}

// Deflates the piece straight from the segments, primed with a copy of the
// 32 KiB before it.
bool deflate_piece(cBlockWork& work, uint32_t piece)
{
    uint32_t start = piece * piece_size;
    uint32_t length = work.total - start < piece_size ? work.total - start : piece_size;
    uint32_t primer = start < window_size ? start : window_size;
    bool last = start + length == work.total;
    z_stream z;
    memset(&z, 0, sizeof z);
    if (deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    uint64_t room = deflateBound(&z, length) + 64;
    _typebuf<uint8_t> output{int32_t(room)};
    bool ok = output.Data() != nullptr;
    if (ok && primer) {
        _typebuf<uint8_t> dictionary{int32_t(primer)};
        uint8_t* at = dictionary.Data();
        ok = at != nullptr;
        if (ok)
            for_each_run(work, start - primer, primer, [&at](const uint8_t* data, uint32_t count) {
                memcpy(at, data, count);
                at += count;
            });
        ok = ok && deflateSetDictionary(&z, dictionary.Data(), primer) == Z_OK;
    }
    z.next_out = output.Data();
    z.avail_out = uInt(room);
    uint32_t checksum = 1;
    uint32_t fed = 0;
    for_each_run(work, start, length, [&](const uint8_t* data, uint32_t count) {
        fed += count;
        if (!ok)
            return;
        checksum = uint32_t(adler32(checksum, data, count));
        z.next_in = const_cast<uint8_t*>(data);
        z.avail_in = count;
        int flush = fed < length ? Z_NO_FLUSH : last ? Z_FINISH : Z_SYNC_FLUSH;
        int status = deflate(&z, flush);
        // The room holds the whole piece: every call takes all its input,
        // and the piece's end leaves room over.
        ok = z.avail_in == 0 && z.avail_out != 0 && status == (flush == Z_FINISH ? Z_STREAM_END : Z_OK);
    });
    deflateEnd(&z);
    work.checksums[int32_t(piece)] = checksum;
    return ok && output.Realloc(int32_t(room - z.avail_out)) && hand_in_piece(work, piece, output);
}

void run_task(void* context, uint32_t task)
{
    cBlockWork& work = *static_cast<cBlockWork*>(context);
    if (task == 0) {
        hash_block(work);
        return;
    }
    // After a failure the remaining pieces are skipped.
    wait_for_turn(work, task - 1);
    if (!work.failed && !deflate_piece(work, task - 1))
        fail(work);
}

}  // namespace

cDeflatedBlock::cDeflatedBlock() : unpacked_size(0), packed_size(0) {}

bool cDeflatedBlock::Write(const cBlockSegment* segments, uint32_t count, cFileIOTarget* output)
{
    cBlockWork work;
    work.segments = segments;
    work.count = count;
    work.starts.Resize(int32_t(count));
    work.digest = digest;
    work.output = output;
    work.failed = 0;
    work.next_to_write = 0;
    work.written = 0;
    uint64_t total = 0;
    for (uint32_t i = 0; i < count && work.starts.Data(); ++i) {
        work.starts[int32_t(i)] = uint32_t(total);
        total += segments[i].size;
    }
    if (!work.starts.Data() || total == 0 || total > INT32_MAX || !work.advanced.Create(nullptr, false, true))
        return false;
    work.total = uint32_t(total);
    uint32_t piece_count = uint32_t((total + piece_size - 1) / piece_size);
    work.checksums.Resize(int32_t(piece_count));
    if (!work.checksums.Data() || !output->WriteExact(zlib_header, sizeof zlib_header))
        return false;
    parallel_for(piece_count + 1, run_task, &work);
    if (work.failed || work.next_to_write != piece_count)
        return false;
    uint32_t checksum = 1;
    for (uint32_t piece = 0; piece < piece_count; ++piece) {
        uint32_t length = piece + 1 < piece_count ? piece_size : work.total - piece * piece_size;
        checksum = uint32_t(adler32_combine(checksum, work.checksums[int32_t(piece)], z_off_t(length)));
    }
    uint64_t packed = sizeof zlib_header + work.written + 4;
    if (packed > INT32_MAX)
        return false;
    uint8_t trailer[4] = {uint8_t(checksum >> 24), uint8_t(checksum >> 16), uint8_t(checksum >> 8), uint8_t(checksum)};
    unpacked_size = work.total;
    packed_size = uint32_t(packed);
    return output->WriteExact(trailer, 4);
}
