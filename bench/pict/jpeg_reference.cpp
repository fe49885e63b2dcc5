// Compiled once against each build of libjpeg-turbo: JPEG_REFERENCE_SIDE
// names the side (plain or simd), and the SIMD build's header of defines,
// included first, renames its calls.

#include <setjmp.h>
#include <stdio.h>
#include <stdlib.h>

#include <jpeglib.h>

#include "bench/pict/jpeg_reference.h"

#define JPEG_REFERENCE_JOIN2(a, b) a##b
#define JPEG_REFERENCE_JOIN(a, b) JPEG_REFERENCE_JOIN2(a, b)
#define JPEG_REFERENCE(name) JPEG_REFERENCE_JOIN(name, JPEG_REFERENCE_SIDE)

namespace {

struct cErrorJump {
    jpeg_error_mgr manager;
    jmp_buf jump;
};

void error_exit(j_common_ptr info)
{
    longjmp(reinterpret_cast<cErrorJump*>(info->err)->jump, 1);
}

void no_message(j_common_ptr, int)
{
}

}  // namespace

bool JPEG_REFERENCE(jpeg_reference_decode_)(const std::vector<uint8_t>& file, cPixels& pixels)
{
    jpeg_decompress_struct info;
    cErrorJump error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = error_exit;
    error.manager.emit_message = no_message;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), (unsigned long)file.size());
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGRA;
    jpeg_start_decompress(&info);
    const JDIMENSION width = info.output_width, height = info.output_height;
    pixels.size = size_t(width) * height * 4;
    pixels.bytes.reset(new uint8_t[pixels.size]);  // left uncleared
    while (info.output_scanline < height) {
        JSAMPROW row = &pixels.bytes[size_t(height - 1 - info.output_scanline) * width * 4];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

#ifdef JPEG_REFERENCE_ENCODER
std::vector<uint8_t> jpeg_reference_encode(const std::vector<uint8_t>& rgb, int width, int height, int quality,
                                           int h, int v, bool progressive)
{
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    info.comp_info[0].h_samp_factor = h;
    info.comp_info[0].v_samp_factor = v;
    if (progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&rgb[size_t(info.next_scanline) * width * 3]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<uint8_t> file(out, out + size);
    free(out);
    return file;
}
#endif
