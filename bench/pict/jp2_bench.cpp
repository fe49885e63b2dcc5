// The JP2 front end against OpenJPEG called directly, on the same files in
// memory: photo-like RGB pictures of 4 and 12 megapixels, coded here by
// OpenJPEG's own encoder (lossless, and lossy at a tenth of the size).
// Both sides decode to 32-bit pixels B, G, R, A, bottom row first; the
// outputs must agree byte for byte.

#include <openjpeg.h>
#include <string.h>

#include <string>
#include <vector>

#include "bench/pict/decode_case.h"
#include "bench/support/bench.h"
#include "pict/codecs/jp2.h"

namespace {

struct cPicture {
    std::string name;
    int width;
    int height;
    float rate;  // compression ratio; 0 lossless
};

// Deterministic noise.
uint32_t next_random(uint32_t& state)
{
    state = state * 1664525u + 1013904223u;
    return state >> 24;
}

// A growing byte vector as OpenJPEG's output stream.
struct cMemoryFile {
    std::vector<uint8_t> bytes;
    size_t at;
};

OPJ_SIZE_T memory_write(void* buffer, OPJ_SIZE_T count, void* user)
{
    cMemoryFile* file = static_cast<cMemoryFile*>(user);
    if (file->at + count > file->bytes.size())
        file->bytes.resize(file->at + count);
    memcpy(file->bytes.data() + file->at, buffer, count);
    file->at += count;
    return count;
}

OPJ_SIZE_T memory_read(void* buffer, OPJ_SIZE_T count, void* user)
{
    cMemoryFile* file = static_cast<cMemoryFile*>(user);
    if (file->at >= file->bytes.size())
        return OPJ_SIZE_T(-1);
    if (count > file->bytes.size() - file->at)
        count = file->bytes.size() - file->at;
    memcpy(buffer, file->bytes.data() + file->at, count);
    file->at += count;
    return count;
}

OPJ_OFF_T memory_skip(OPJ_OFF_T count, void* user)
{
    cMemoryFile* file = static_cast<cMemoryFile*>(user);
    file->at += size_t(count);
    return count;
}

OPJ_BOOL memory_seek(OPJ_OFF_T offset, void* user)
{
    static_cast<cMemoryFile*>(user)->at = size_t(offset);
    return OPJ_TRUE;
}

opj_stream_t* memory_stream(cMemoryFile* file, bool input)
{
    opj_stream_t* stream = opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, input ? OPJ_TRUE : OPJ_FALSE);
    opj_stream_set_user_data(stream, file, nullptr);
    if (input) {
        opj_stream_set_user_data_length(stream, file->bytes.size());
        opj_stream_set_read_function(stream, memory_read);
    } else {
        opj_stream_set_write_function(stream, memory_write);
    }
    opj_stream_set_skip_function(stream, memory_skip);
    opj_stream_set_seek_function(stream, memory_seek);
    return stream;
}

std::vector<uint8_t> encode(const cPicture& p)
{
    opj_image_cmptparm_t parameters[3];
    memset(parameters, 0, sizeof parameters);
    for (opj_image_cmptparm_t& c : parameters) {
        c.dx = c.dy = 1;
        c.w = OPJ_UINT32(p.width);
        c.h = OPJ_UINT32(p.height);
        c.prec = 8;
    }
    opj_image_t* image = opj_image_create(3, parameters, OPJ_CLRSPC_SRGB);
    image->x1 = OPJ_UINT32(p.width);
    image->y1 = OPJ_UINT32(p.height);
    uint32_t state = 12345;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            size_t i = size_t(y) * p.width + x;
            int noise = int(next_random(state) % 9) - 4;
            image->comps[0].data[i] = (x * 255 / p.width + noise) & 0xFF;
            image->comps[1].data[i] = (y * 255 / p.height + noise) & 0xFF;
            image->comps[2].data[i] = ((x + y) * 127 / (p.width + p.height) + 64 + noise) & 0xFF;
        }
    opj_cparameters_t coding;
    opj_set_default_encoder_parameters(&coding);
    coding.tcp_numlayers = 1;
    coding.tcp_rates[0] = p.rate;
    coding.cp_disto_alloc = 1;
    coding.irreversible = p.rate > 0 ? 1 : 0;
    coding.tcp_mct = 1;
    opj_codec_t* codec = opj_create_compress(OPJ_CODEC_JP2);
    cMemoryFile file = {{}, 0};
    opj_stream_t* stream = memory_stream(&file, false);
    bool coded = opj_setup_encoder(codec, &coding, image) && opj_start_compress(codec, image, stream) &&
                 opj_encode(codec, stream) && opj_end_compress(codec, stream);
    opj_stream_destroy(stream);
    opj_destroy_codec(codec);
    opj_image_destroy(image);
    bench_require(coded, "coding " + p.name);
    return file.bytes;
}

// OpenJPEG's decode, its components interleaved into B, G, R, A bottom-up
// rows, as the program keeps pixels.
bool openjpeg_decode(const std::vector<uint8_t>& bytes, cPixels& pixels)
{
    cMemoryFile file = {bytes, 0};
    opj_stream_t* stream = memory_stream(&file, true);
    opj_codec_t* codec = opj_create_decompress(OPJ_CODEC_JP2);
    opj_dparameters_t parameters;
    opj_set_default_decoder_parameters(&parameters);
    opj_image_t* image = nullptr;
    bool decoded = opj_setup_decoder(codec, &parameters) && opj_read_header(stream, codec, &image) &&
                   opj_decode(codec, stream, image) && opj_end_decompress(codec, stream);
    if (decoded) {
        const size_t width = image->x1 - image->x0;
        const size_t height = image->y1 - image->y0;
        pixels.size = width * height * 4;
        pixels.bytes.reset(new uint8_t[pixels.size]);  // left uncleared
        uint32_t* out = reinterpret_cast<uint32_t*>(pixels.bytes.get());
        const OPJ_INT32* r = image->comps[0].data;
        const OPJ_INT32* g = image->comps[1].data;
        const OPJ_INT32* b = image->comps[2].data;
        for (size_t y = 0; y < height; ++y) {
            uint32_t* row = &out[(height - 1 - y) * width];
            for (size_t x = 0; x < width; ++x, ++r, ++g, ++b)
                row[x] = 0xFF000000u | uint32_t(*r) << 16 | uint32_t(*g) << 8 | uint32_t(*b);
        }
    }
    if (image)
        opj_image_destroy(image);
    opj_destroy_codec(codec);
    opj_stream_destroy(stream);
    return decoded;
}

}  // namespace

int main(int argc, char** argv)
{
    const cPicture pictures[] = {
        {"photo RGB 4 MP lossy", 2000, 2000, 10},
        {"photo RGB 12 MP lossy", 4000, 3000, 10},
        {"photo RGB 4 MP lossless", 2000, 2000, 0},
        {"photo RGB 12 MP lossless", 4000, 3000, 0},
    };
    std::vector<BenchCase> cases;
    std::vector<std::vector<uint8_t>> files;
    files.reserve(sizeof pictures / sizeof pictures[0]);
    for (const cPicture& p : pictures) {
        files.push_back(encode(p));
        cases.push_back(decode_case<cPictJP2>("cPictJP2 " + p.name, "OpenJPEG", 1.1, files.back(), openjpeg_decode));
    }
    return bench_run(cases, argc, argv);
}
