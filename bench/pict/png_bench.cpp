// The PNG decoder against libpng, on the same files in memory: photo-like
// and flat pictures of 1 to 12 megapixels, encoded here by libpng itself
// (default compression and adaptive filters). Both decode to 32-bit pixels
// B, G, R, A, bottom row first; the outputs must agree byte for byte.

#include <png.h>
#include <string.h>

#include <string>
#include <vector>

#include "bench/pict/decode_case.h"
#include "bench/support/bench.h"
#include "pict/codecs/png.h"

namespace {

struct cPicture {
    std::string name;
    int width;
    int height;
    bool alpha;
    bool interlaced;
    bool photo;  // smooth colours with noise; else a few flat areas
};

// Deterministic noise.
uint32_t next_random(uint32_t& state)
{
    state = state * 1664525u + 1013904223u;
    return state >> 24;
}

std::vector<uint8_t> make_pixels(const cPicture& p)
{
    const int channels = p.alpha ? 4 : 3;
    std::vector<uint8_t> pixels(size_t(p.width) * p.height * channels);
    uint32_t state = 12345;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            uint8_t* px = &pixels[(size_t(y) * p.width + x) * channels];
            int area = (x / (p.width / 5 + 1)) + 5 * (y / (p.height / 4 + 1));
            if (p.photo) {
                int noise = int(next_random(state) % 9) - 4;
                px[0] = uint8_t((x * 255 / p.width + noise) & 0xFF);
                px[1] = uint8_t((y * 255 / p.height + noise) & 0xFF);
                px[2] = uint8_t(((x + y) * 127 / (p.width + p.height) + 64 + noise) & 0xFF);
            } else {
                px[0] = uint8_t(area * 37);
                px[1] = uint8_t(area * 91);
                px[2] = uint8_t(area * 13);
            }
            if (p.alpha)
                px[3] = uint8_t(p.photo ? (x ^ y) & 0xFF : x < p.width / 2 ? 255 : 128);
        }
    return pixels;
}

std::vector<uint8_t> encode(const cPicture& p)
{
    std::vector<uint8_t> pixels = make_pixels(p);
    std::vector<uint8_t> file;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(
        png, &file,
        [](png_structp s, png_bytep data, png_size_t length) {
            auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(s));
            out->insert(out->end(), data, data + length);
        },
        nullptr);
    png_set_IHDR(png, info, png_uint_32(p.width), png_uint_32(p.height), 8,
                 p.alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
                 p.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_bytep> rows(size_t(p.height));
    for (int y = 0; y < p.height; ++y)
        rows[size_t(y)] = &pixels[size_t(y) * p.width * (p.alpha ? 4 : 3)];
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return file;
}

struct cMemoryReader {
    const std::vector<uint8_t>* file;
    size_t at;
};

// libpng's decode into B, G, R, A bottom-up rows, as the program keeps
// pixels.
bool libpng_decode(const std::vector<uint8_t>& file, cPixels& out)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    cMemoryReader reader = {&file, 0};
    png_set_read_fn(png, &reader, [](png_structp s, png_bytep data, png_size_t length) {
        auto* r = static_cast<cMemoryReader*>(png_get_io_ptr(s));
        if (r->at + length > r->file->size())
            png_error(s, "short file");
        memcpy(data, r->file->data() + r->at, length);
        r->at += length;
    });
    png_read_info(png, info);
    png_set_expand(png);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    out.size = size_t(width) * height * 4;
    out.bytes.reset(new uint8_t[out.size]);  // left uncleared
    std::vector<png_bytep> rows(height);
    for (png_uint_32 y = 0; y < height; ++y)
        rows[y] = &out.bytes[size_t(height - 1 - y) * width * 4];
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const cPicture pictures[] = {
        {"photo RGB 1 MP", 1000, 1000, false, false, true},
        {"photo RGB 4 MP", 2000, 2000, false, false, true},
        {"photo RGB 12 MP", 4000, 3000, false, false, true},
        {"photo RGBA 4 MP", 2000, 2000, true, false, true},
        {"photo RGB Adam7 4 MP", 2000, 2000, false, true, true},
        {"flat RGB 1 MP", 1000, 1000, false, false, false},
        {"flat RGBA 12 MP", 4000, 3000, true, false, false},
    };
    std::vector<BenchCase> cases;
    std::vector<std::vector<uint8_t>> files;
    files.reserve(sizeof pictures / sizeof pictures[0]);
    for (const cPicture& p : pictures) {
        files.push_back(encode(p));
        cases.push_back(decode_case<cPictPNG>("cPictPNG " + p.name, "libpng", 1.0, files.back(), libpng_decode));
    }
    return bench_run(cases, argc, argv);
}
