#include <zlib.h>

#include "base/file_io_target.h"
#include "base/sha256.h"
#include "base/zlib_deflate.h"
#include "tools/package/package_format.h"

namespace {

const uint32_t member_piece = 4096;
// Members are compressed side by side: a big file's room starts here and
// grows as its stream does, rather than being claimed whole at once.
const uint64_t first_room_limit = 16 << 20;

// Deflates one call's worth into bytes from used on, growing the
// buffer while zlib wants more room; for a flush, until the flush is out.
bool deflate_into(z_stream& z, int flush, _typebuf<uint8_t>& bytes, uint32_t& used)
{
    for (;;) {
        if (used == uint32_t(bytes.Count())) {
            uint64_t grown = uint64_t(bytes.Count()) + bytes.Count() / 2 + member_piece;
            if (grown > INT32_MAX || !bytes.Realloc(int32_t(grown)))
                return false;
        }
        z.next_out = bytes.Data() + used;
        z.avail_out = uInt(uint32_t(bytes.Count()) - used);
        int status = deflate(&z, flush);
        used = uint32_t(bytes.Count()) - z.avail_out;
        if (status == Z_STREAM_END)
            return flush == Z_FINISH;
        if (status != Z_OK)
            return false;
        if (z.avail_out != 0 && flush != Z_FINISH)
            return true;
    }
}

}  // namespace

bool compress_package_member(cFileIOTarget* source, cPackageMember& member)
{
    if (!source)
        return false;
    uint64_t size = source->GetSize();
    if (size == 0 || size > UINT32_MAX || !source->Seek(0))
        return false;
    z_stream z;
    if (!deflate_init_stream(z, 9))
        return false;
    // Room for the whole stream with a few bytes per flush; grown if short.
    uint64_t room = deflateBound(&z, uLong(size)) + (size / member_piece + 1) * 8;
    _typebuf<uint8_t> bytes{int32_t(room < first_room_limit ? room : first_room_limit)};
    cSha256Context hash;
    sha256_init(hash);
    uint8_t piece[member_piece];
    uint32_t used = 0;
    uint64_t remaining = size;
    bool finished = false;
    bool ok = bytes.Data() != nullptr;
    // Full pieces end with a partial flush; the stream is always finished,
    // with the last short piece or with no input after the last full one.
    while (ok && !finished) {
        uint32_t count = remaining < member_piece ? uint32_t(remaining) : member_piece;
        ok = !count || source->ReadExact(piece, count);
        sha256_update(hash, piece, ok ? count : 0);
        remaining -= count;
        z.next_in = piece;
        z.avail_in = count;
        finished = count < member_piece;
        ok = ok && deflate_into(z, finished ? Z_FINISH : Z_PARTIAL_FLUSH, bytes, used);
    }
    deflateEnd(&z);
    // A source that grew meanwhile would be stored cut short.
    ok = ok && source->Read(piece, 1) == 0 && bytes.Realloc(int32_t(used));
    if (!ok)
        return false;
    member.Own(static_cast<_typebuf<uint8_t>&&>(bytes));
    member.unpacked_size = uint32_t(size);
    sha256_final(hash, member.digest);
    return true;
}

int32_t add_package_member(cFileIOTarget* source, cPackage& package)
{
    uint32_t index = package_member_count(package);
    cPackageMember member;
    if (index >= INT32_MAX || !compress_package_member(source, member))
        return -1;
    cPackageMember* added = tree_get_or_add(package.members, int32_t(index));
    if (!added)
        return -1;
    *added = static_cast<cPackageMember&&>(member);
    return int32_t(index);
}
