#include "base/decompress.h"

#include <string.h>

#include "base/zlib_inflate.h"

namespace {

// Room given at first to data of unknown inflated size, per input byte and
// at least: generous, since the heap gives large blocks as address space
// that costs memory only where written, and the block shrinks in place at
// the end. The most that deflate data can give per input byte bounds any
// stated size.
const uint64_t guessed_ratio = 16;
const uint64_t least_guess = 0x10000;
const uint64_t deflate_max_ratio = 1032;

// Inflates input with z (already reset) straight into output, which starts
// with room for size_hint bytes (a guess for 0) and grows while the data
// needs more; output ends holding exactly the bytes decoded. True when the
// stream ended; false on damaged or cut data and when the output cannot be
// stored.
bool inflate_growing(z_stream& z, const void* input, uint32_t input_size, uint32_t size_hint,
                     _typebuf<uint8_t>& output)
{
    uint64_t room = uint64_t(input_size) * guessed_ratio;
    if (size_hint)
        room = size_hint;
    else if (room < least_guess)
        room = least_guess;
    uint64_t most = uint64_t(input_size) * deflate_max_ratio + 1;
    if (room > most)
        room = most;
    if (room > uint64_t(INT32_MAX))
        room = INT32_MAX;
    // Room the heap refuses is halved, down to the least guess: the output
    // grows later if it must.
    for (output.Resize(int32_t(room)); !output.Data() && room > least_guess;)
        output.Resize(int32_t(room /= 2));
    if (!output.Data())
        return false;
    z.next_in = const_cast<Bytef*>(static_cast<const Bytef*>(input));
    z.avail_in = input_size;
    uint32_t produced = 0;
    int answer;
    for (;;) {
        z.next_out = output.Data() + produced;
        z.avail_out = uint32_t(output.Count()) - produced;
        answer = inflate(&z, Z_NO_FLUSH);
        produced = uint32_t(output.Count()) - z.avail_out;
        // Room left after Z_OK means the input ran out before the end.
        if (answer != Z_OK || z.avail_out != 0)
            break;
        uint64_t grown = uint64_t(output.Count()) * 2;
        if (output.Count() == INT32_MAX || !output.Realloc(int32_t(grown < uint64_t(INT32_MAX) ? grown : INT32_MAX))) {
            answer = Z_MEM_ERROR;
            break;
        }
    }
    // Nothing of this block is left for a later step to continue with.
    z.next_in = nullptr;
    z.avail_in = 0;
    return output.Realloc(int32_t(produced)) && answer == Z_STREAM_END;
}

}  // namespace

uint32_t cDecompress::GetKind()
{
    return 0;
}

cDecompress::~cDecompress()
{
}

cZDecompress::cZDecompress() : initialised(0)
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
                inflate_growing(local, input.Data(), uint32_t(input.Count()), 0, output);
    zlib_inflate_release(local);
    return done;
}

bool cZDecompress::Reset()
{
    if (!initialised) {
        zlib_inflate_init(z);
        initialised = 1;
    }
    z.next_in = nullptr;
    z.avail_in = 0;
    return inflateReset(&z) == Z_OK;
}

bool cZDecompress::DecompressToBuffer(const void* input, uint32_t input_size, _typebuf<uint8_t>& output,
                                      uint32_t expected_size)
{
    if (!Reset()) {
        output.Clear();
        return false;
    }
    return inflate_growing(z, input, input_size, expected_size, output);
}

bool cZDecompress::InflateStep(const void* input, uint32_t* input_count, void* output, uint32_t* output_count)
{
    if (!input_count || !output_count)
        return false;
    if (!initialised && (!input || !Reset())) {
        *input_count = 0;
        *output_count = 0;
        return !input;
    }
    if (input) {
        z.next_in = const_cast<Bytef*>(static_cast<const Bytef*>(input));
        z.avail_in = *input_count;
    }
    uint32_t given_in = z.avail_in;
    uint32_t given_out = *output_count;
    z.next_out = static_cast<Bytef*>(output);
    z.avail_out = given_out;
    int answer = inflate(&z, Z_FULL_FLUSH);
    *input_count = given_in - z.avail_in;
    *output_count = given_out - z.avail_out;
    // Without new input zlib may still hold output for the caller; when it
    // has none either, there is simply nothing more to give.
    if (!input && answer == Z_BUF_ERROR)
        return true;
    return answer == Z_OK || answer == Z_STREAM_END;
}
