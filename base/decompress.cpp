#include "base/decompress.h"

#include <string.h>

#include "base/mem_io_target.h"
#include "base/zlib_inflate.h"

namespace {

const uint32_t output_piece_size = 0x10000;

// Inflates input with z (already reset) into output until the data ends or
// zlib can make no more progress, collecting the pieces in a memory stream.
// Answers zlib's last answer; Z_MEM_ERROR also when output cannot be stored.
int inflate_block(z_stream& z, const void* input, uint32_t input_size, int flush, _typebuf<uint8_t>& output)
{
    _typebuf<uint8_t> piece{int32_t(output_piece_size)};
    if (!piece.Data())
        return Z_MEM_ERROR;
    cMemIOTarget collected;
    z.next_in = const_cast<Bytef*>(static_cast<const Bytef*>(input));
    z.avail_in = input_size;
    int answer;
    do {
        z.next_out = piece.Data();
        z.avail_out = output_piece_size;
        answer = inflate(&z, flush);
        uint32_t produced = output_piece_size - z.avail_out;
        if (produced && !collected.WriteExact(piece.Data(), produced))
            answer = Z_MEM_ERROR;
    } while (answer == Z_OK);
    // Nothing of this block is left for a later step to continue with.
    z.next_in = nullptr;
    z.avail_in = 0;
    if (!collected.CopyTo(output))
        return Z_MEM_ERROR;
    return answer;
}

}  // namespace

uint32_t cDecompress::GetKind()
{
    return 0;
}

cDecompress::~cDecompress()
{
}

cZDecompress::cZDecompress() : initialised(0), stepping(false)
{
    memset(&z, 0, sizeof z);
}

cZDecompress::~cZDecompress()
{
    zlib_inflate_release(z);
}

uint32_t cZDecompress::GetKind()
{
    return 3;
}

bool cZDecompress::Decompress(const _typebuf<uint8_t>& input, _typebuf<uint8_t>& output)
{
    z_stream local;
    zlib_inflate_init(local);
    bool done = inflateReset(&local) == Z_OK &&
                inflate_block(local, input.Data(), uint32_t(input.Count()), Z_PARTIAL_FLUSH, output) != Z_MEM_ERROR;
    zlib_inflate_release(local);
    return done;
}

bool cZDecompress::StartStream()
{
    if (!initialised) {
        zlib_inflate_init(z);
        initialised = 1;
    }
    return inflateReset(&z) == Z_OK;
}

bool cZDecompress::DecompressToBuffer(const void* input, uint32_t input_size, _typebuf<uint8_t>& output)
{
    stepping = false;
    return StartStream() && inflate_block(z, input, input_size, Z_PARTIAL_FLUSH, output) == Z_STREAM_END;
}

bool cZDecompress::InflateStep(const void* input, uint32_t* input_count, void* output, uint32_t* output_count)
{
    if (!input_count || !output_count)
        return false;
    if (input) {
        if (!stepping && !StartStream()) {
            *input_count = 0;
            *output_count = 0;
            return false;
        }
        stepping = true;
        z.next_in = const_cast<Bytef*>(static_cast<const Bytef*>(input));
        z.avail_in = *input_count;
    } else if (!stepping) {
        *input_count = 0;
        *output_count = 0;
        return true;
    }
    uint32_t given_in = z.avail_in;
    uint32_t given_out = *output_count;
    z.next_out = static_cast<Bytef*>(output);
    z.avail_out = given_out;
    int answer = inflate(&z, Z_FULL_FLUSH);
    *input_count = given_in - z.avail_in;
    *output_count = given_out - z.avail_out;
    // A lack of input or room is not the end of the stream; anything else
    // but progress is.
    if (answer != Z_OK && answer != Z_BUF_ERROR)
        stepping = false;
    // Without new input zlib may still hold output for the caller; when it
    // has none either, there is simply nothing more to give.
    if (!input && answer == Z_BUF_ERROR)
        return true;
    return answer == Z_OK || answer == Z_STREAM_END;
}
