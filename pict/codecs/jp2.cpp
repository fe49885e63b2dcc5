#include "pict/codecs/jp2.h"

#include <openjpeg.h>

#include "base/mem_buffered_io.h"
#include "pict/codecs/j2k_image.h"
#include "pict/codecs/read_info.h"

namespace {

// One run of the codec over a caller's stream: the read-ahead window, the
// codec, its stream and the image record, all released together.
class cJ2kRun {
public:
    cJ2kRun() : width(0), height(0), image(nullptr), position(0), size(0), codec(nullptr), stream(nullptr) {}
    ~cJ2kRun()
    {
        if (image)
            opj_image_destroy(image);
        if (stream)
            opj_stream_destroy(stream);
        if (codec)
            opj_destroy_codec(codec);
    }
    cJ2kRun(const cJ2kRun&) = delete;
    cJ2kRun& operator=(const cJ2kRun&) = delete;

    // Reads the headers up to the image record, whose image area must be a
    // size a picture can hold.
    bool ReadHeader(cFileIOTarget* source, bool jp2)
    {
        if (!source || !buffered.Attach(source))
            return false;
        size = buffered.GetSize();
        codec = opj_create_decompress(jp2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K);
        stream = opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_TRUE);
        if (!codec || !stream)
            return false;
        opj_dparameters_t parameters;
        opj_set_default_decoder_parameters(&parameters);
        opj_stream_set_user_data(stream, this, nullptr);
        // Without the length the codec can neither find the JP2 boxes' ends
        // nor a codestream's last tile part.
        opj_stream_set_user_data_length(stream, size);
        opj_stream_set_read_function(stream, Read);
        opj_stream_set_skip_function(stream, Skip);
        opj_stream_set_seek_function(stream, SeekTo);
        if (!opj_setup_decoder(codec, &parameters) || !opj_read_header(stream, codec, &image) || !image)
            return false;
        width = int64_t(image->x1) - image->x0;
        height = int64_t(image->y1) - image->y0;
        return width > 0 && height > 0 && width * height <= pict_max_pixels;
    }

    // The whole image at full resolution. The stream goes on from where
    // the decode left it: the box layer's end step reads what follows the
    // codestream.
    bool Decode()
    {
        return opj_set_decode_area(codec, image, OPJ_INT32(image->x0), OPJ_INT32(image->y0), OPJ_INT32(image->x1),
                                   OPJ_INT32(image->y1)) &&
               opj_decode(codec, stream, image) && opj_end_decompress(codec, stream);
    }

    int64_t width;
    int64_t height;
    opj_image_t* image;

private:
    static OPJ_SIZE_T Read(void* buffer, OPJ_SIZE_T count, void* user)
    {
        cJ2kRun* run = static_cast<cJ2kRun*>(user);
        int32_t got = run->buffered.Read(buffer, io_clamp_count(count));
        if (got <= 0)
            return OPJ_SIZE_T(-1);
        run->position += uint32_t(got);
        return OPJ_SIZE_T(got);
    }

    static OPJ_OFF_T Skip(OPJ_OFF_T count, void* user)
    {
        return SeekTo(OPJ_OFF_T(static_cast<cJ2kRun*>(user)->position) + count, user) ? count : -1;
    }

    static OPJ_BOOL SeekTo(OPJ_OFF_T offset, void* user)
    {
        cJ2kRun* run = static_cast<cJ2kRun*>(user);
        if (offset < 0 || uint64_t(offset) > run->size || !run->buffered.Seek(uint64_t(offset)))
            return OPJ_FALSE;
        run->position = uint64_t(offset);
        return OPJ_TRUE;
    }

    cJP2FileIOTarget buffered;  // over the caller's stream, which it does not own
    uint64_t position;
    uint64_t size;
    opj_codec_t* codec;
    opj_stream_t* stream;
};

}  // namespace

bool cPictJP2Base::ReadCodecInfo(cFileIOTarget* stream, cPictInfo* info, bool jp2)
{
    cJ2kRun run;
    return run.ReadHeader(stream, jp2) && read_info_found(info, run.width, run.height);
}

bool cPictJP2Base::DecodeCodec(cFileIOTarget* stream, bool jp2)
{
    FreePixels();
    cJ2kRun run;
    return run.ReadHeader(stream, jp2) && run.Decode() && j2k_image_to_picture(this, run.image);
}

bool cPictJP2::ReadInfo(cFileIOTarget* stream, cPictInfo* info)
{
    return ReadCodecInfo(stream, info, true);
}

bool cPictJP2::Load(cFileIOTarget* stream)
{
    return DecodeCodec(stream, true);
}

bool cPictJ2K::ReadInfo(cFileIOTarget* stream, cPictInfo* info)
{
    return ReadCodecInfo(stream, info, false);
}

bool cPictJ2K::Load(cFileIOTarget* stream)
{
    return DecodeCodec(stream, false);
}

bool jp2_read_info(cFileIOTarget* stream, cPictInfo* info)
{
    cPictJP2 probe;
    return probe.ReadInfo(stream, info);
}

bool j2k_read_info(cFileIOTarget* stream, cPictInfo* info)
{
    cPictJ2K probe;
    return probe.ReadInfo(stream, info);
}
