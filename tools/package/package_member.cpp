#include <string.h>
#include <zlib.h>

#include "base/file_io_target.h"
#include "base/sha256.h"
#include "base/zlib_deflate.h"
#include "tools/package/package_format.h"

#ifdef PACKAGE_MEMBER_TEST_HOOK
#include <stdlib.h>
#include <windows.h>
#endif

namespace {

// The format's unit: each full piece of the file ends with a partial flush.
const uint32_t member_piece = 4096;
// Read from the source at once: many pieces per system call.
const uint32_t read_piece = 65536;
// The stream is kept in runs of at most this size, so that a big member
// needs no single block as large as itself and is never copied to grow.
const uint32_t run_size = 1 << 20;

#ifdef PACKAGE_MEMBER_TEST_HOOK
// A test build stands in for a heap that has no block larger than
// PELMARO_TEST_LARGEST_BLOCK bytes, as in a crowded address space.
bool heap_refuses(uint64_t size)
{
    char limit[32];
    DWORD length = GetEnvironmentVariableA("PELMARO_TEST_LARGEST_BLOCK", limit, sizeof limit);
    return length && length < sizeof limit && size > strtoull(limit, nullptr, 10);
}
#else
bool heap_refuses(uint64_t)
{
    return false;
}
#endif

// The member's stream as it grows: full runs, then the last one in use.
struct cRunWriter {
    cLinkedList<_typebuf<uint8_t>> runs;
    uint64_t expected;  // the stream's size as far as it can be told before
    uint64_t written;   // the stream's size in the runs before the last one
    bool out_of_memory;
};

// A new last run for z's output: the expected rest, at most run_size.
bool add_run(cRunWriter& out, z_stream& z)
{
    if (out.runs.last)
        out.written += uint32_t(out.runs.last->element.Count());
    uint64_t rest = out.expected > out.written ? out.expected - out.written : member_piece;
    uint32_t size = rest < run_size ? uint32_t(rest) : run_size;
    _typebuf<uint8_t>* run = list_append(out.runs);
    if (run && !heap_refuses(size))
        run->Resize(int32_t(size));
    out.out_of_memory = !run || !run->Data();
    if (out.out_of_memory)
        return false;
    z.next_out = run->Data();
    z.avail_out = size;
    return true;
}

// Deflates what z holds, adding runs while zlib wants more room; for a
// flush, until the flush is out.
bool deflate_into(z_stream& z, int flush, cRunWriter& out)
{
    for (;;) {
        if (z.avail_out == 0 && !add_run(out, z))
            return false;
        int status = deflate(&z, flush);
        if (status == Z_STREAM_END)
            return flush == Z_FINISH;
        if (status != Z_OK)
            return false;
        if (z.avail_out != 0 && flush != Z_FINISH)
            return true;
    }
}

// Deflates the source into out, its SHA-256 into digest.
cMemberResult deflate_source(cFileIOTarget* source, uint64_t size, z_stream& z, cRunWriter& out, uint8_t digest[32])
{
    _typebuf<uint8_t> chunk{int32_t(read_piece)};
    if (!chunk.Data())
        return MEMBER_NO_MEMORY;
    cSha256Context hash;
    sha256_init(hash);
    uint64_t remaining = size;
    z.avail_out = 0;
    // Full pieces end with a partial flush; the stream is always finished,
    // with the last short piece or with no input after the last full one.
    for (;;) {
        uint32_t count = remaining < read_piece ? uint32_t(remaining) : read_piece;
        if (count && !source->ReadExact(chunk.Data(), count))
            return MEMBER_UNREADABLE;
        sha256_update(hash, chunk.Data(), count);
        remaining -= count;
        for (uint32_t at = 0;; at += member_piece) {
            uint32_t piece = count - at < member_piece ? count - at : member_piece;
            z.next_in = chunk.Data() + at;
            z.avail_in = piece;
            bool finished = piece < member_piece;
            if (!deflate_into(z, finished ? Z_FINISH : Z_PARTIAL_FLUSH, out))
                return out.out_of_memory ? MEMBER_NO_MEMORY : MEMBER_UNREADABLE;
            if (finished) {
                sha256_final(hash, digest);
                return MEMBER_DONE;
            }
            if (at + member_piece == count)
                break;
        }
    }
}

}  // namespace

cMemberResult compress_package_member(cFileIOTarget* source, cPackageMember& member)
{
    if (!source)
        return MEMBER_UNREADABLE;
    uint64_t size = source->GetSize();
    if (size == 0 || size > UINT32_MAX)
        return MEMBER_BAD_SIZE;
    if (!source->Seek(0))
        return MEMBER_UNREADABLE;
    z_stream z;
    if (!deflate_init_stream(z, 9))
        return MEMBER_NO_MEMORY;
    cRunWriter out;
    // The whole stream with a few bytes per flush; runs are added if short.
    out.expected = deflateBound(&z, uLong(size)) + (size / member_piece + 1) * 8;
    out.written = 0;
    out.out_of_memory = false;
    uint8_t digest[32];
    cMemberResult result = deflate_source(source, size, z, out, digest);
    uint32_t last_used = out.runs.last ? uint32_t(out.runs.last->element.Count()) - z.avail_out : 0;
    deflateEnd(&z);
    // A source that grew meanwhile would be stored cut short.
    uint8_t more;
    if (result == MEMBER_DONE && source->Read(&more, 1) != 0)
        result = MEMBER_CHANGED;
    if (result != MEMBER_DONE)
        return result;
    // The last run shrinks in place to what it holds.
    out.runs.last->element.Realloc(int32_t(last_used));
    member.Own(out.runs);
    member.unpacked_size = uint32_t(size);
    memcpy(member.digest, digest, 32);
    return MEMBER_DONE;
}

int32_t add_package_member(cFileIOTarget* source, cPackage& package)
{
    uint32_t index = package_member_count(package);
    cPackageMember member;
    if (index >= INT32_MAX || compress_package_member(source, member) != MEMBER_DONE)
        return -1;
    cPackageMember* added = tree_get_or_add(package.members, int32_t(index));
    if (!added)
        return -1;
    *added = static_cast<cPackageMember&&>(member);
    return int32_t(index);
}
