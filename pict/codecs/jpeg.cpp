#include "pict/codecs/jpeg.h"

#include "base/buf_wrapper_io.h"
#include "pict/codecs/exif_decoder.h"

cPictJPEG::cPictJPEG() : mode(mode_idle), frame_seen(0), bottom_up(1), target_mode(0), decode_thumbnail(1)
{
}

cPictJPEG::~cPictJPEG()
{
}

bool cPictJPEG::Run(cFileIOTarget* stream, eMode new_mode)
{
    frame_seen = 0;
    target_mode = 0;
    mode = new_mode;
    bool decoded = Parse(stream);
    FreeFrame();
    return decoded;
}

bool cPictJPEG::ReadInfo(cFileIOTarget* stream, cPictInfo* info)
{
    Run(stream, mode_info);
    if (!frame_seen)
        return false;
    if (info) {
        info->width = frame_width;
        info->height = frame_height;
        info->has_preview = FindThumbnail() != nullptr;
    }
    return true;
}

bool cPictJPEG::Load(cFileIOTarget* stream)
{
    bool decoded = Run(stream, mode_full);
    FinishOutput();
    return decoded && frame_seen;
}

bool cPictJPEG::LoadPreview(cFileIOTarget* stream, cPictBase* target, int32_t, int32_t)
{
    // The stream may stand anywhere after identification.
    if (!stream || !target || !stream->Seek(0))
        return false;
    Run(stream, mode_thumbnail);
    cPictPropImage* thumbnail = FindThumbnail();
    if (!thumbnail || !thumbnail->picture)
        return false;
    target->TakePixels(thumbnail->picture);
    return !target->deep && target->pixels32.Data() != nullptr;
}

bool jpeg_read_info(cFileIOTarget* stream, cPictInfo* info)
{
    cPictJPEG probe;
    return probe.ReadInfo(stream, info);
}

cProgressNotifyTarget* cPictJPEG::GetProgressTarget()
{
    return progress;
}

bool cPictJPEG::OnExif(const uint8_t* data, uint32_t length)
{
    cBufWrapperIO block(const_cast<uint8_t*>(data), int32_t(length), false);
    cExifDecoder exif(mode != mode_info && decode_thumbnail && option_raw);
    exif.ParseStreamInto(this, &block, exif_ifd0);
    return true;
}

bool cPictJPEG::OnFrameHeader()
{
    frame_seen = 1;
    if (mode == mode_info || mode == mode_thumbnail)
        return false;
    if (mode != mode_full)
        return true;
    if (!BeginPixels(frame_width, frame_height, precision > 8))
        return false;
    target_mode = output != nullptr;
    return true;
}

void cPictJPEG::ConvertTo(const cJPEGRows& rows, int32_t count, uint32_t* out)
{
    ConvertRows8(rows, 0, count, out, true);
}

void cPictJPEG::ConvertTo(const cJPEGRows& rows, int32_t count, uint64_t* out)
{
    ConvertRows16(rows, 0, count, out, true);
}

void cPictJPEG::ConvertMCUTo(int32_t mcu_column, int32_t mcu_row, uint32_t* const* rows)
{
    ConvertMCU8(mcu_column, mcu_row, rows, true);
}

void cPictJPEG::ConvertMCUTo(int32_t mcu_column, int32_t mcu_row, uint64_t* const* rows)
{
    ConvertMCU16(mcu_column, mcu_row, rows, true);
}

void cPictJPEG::Put(int32_t x, int32_t y, uint32_t pixel)
{
    PutPixel32(x, y, pixel);
}

void cPictJPEG::Put(int32_t x, int32_t y, uint64_t pixel)
{
    PutPixel64(x, y, pixel);
}

template <class Pixel>
bool cPictJPEG::PlaceRow(const cJPEGRows& rows, int32_t y, int32_t count, Pixel* own, _typebuf<Pixel>& buffer)
{
    if (!target_mode) {
        ConvertTo(rows, count, own + (bottom_up ? height - 1 - y : y) * int64_t(width));
        return true;
    }
    const int32_t sink_row = height - 1 - y;
    if (!IsRowSpanVisible(sink_row, 0, sink_row))
        return true;
    if (buffer.Count() < count)
        buffer.Resize(count);
    if (!buffer.Data())
        return false;
    ConvertTo(rows, count, buffer.Data());
    for (int32_t x = 0; x < count; ++x)
        Put(x, sink_row, buffer.Data()[x]);
    return true;
}

template <class Pixel>
bool cPictJPEG::PlaceMCU(int32_t mcu_column, int32_t mcu_row, Pixel* own, _typebuf<Pixel>& buffer,
                         _typebuf<Pixel*>& pointers)
{
    int32_t x, y, w, h;
    if (!MCURect(mcu_column, mcu_row, &x, &y, &w, &h) || x + w > width || y + h > height)
        return true;
    if (target_mode && !IsRowSpanVisible(height - y - h, x, height - 1 - y))
        return true;
    if (pointers.Count() < h)
        pointers.Resize(mcu_height);
    if (target_mode && buffer.Count() < w * h)
        buffer.Resize(mcu_width * mcu_height);
    if (!pointers.Data() || (target_mode && !buffer.Data()))
        return false;
    // The MCU goes straight into the own buffer, or through a block of its
    // pixels to the sink.
    for (int32_t i = 0; i < h; ++i)
        pointers[i] = target_mode ? buffer.Data() + i * w
                                  : own + (bottom_up ? height - 1 - (y + i) : y + i) * int64_t(width) + x;
    ConvertMCUTo(mcu_column, mcu_row, pointers.Data());
    if (target_mode)
        for (int32_t i = 0; i < h; ++i)
            for (int32_t j = 0; j < w; ++j)
                Put(x + j, height - 1 - (y + i), buffer.Data()[i * w + j]);
    return true;
}

bool cPictJPEG::OutputRows(const cJPEGRows& rows, int32_t y, int32_t count)
{
    // Both outputs clip the same way: rows inside the picture, at most its
    // width of pixels.
    if (y < 0 || y >= height || count <= 0)
        return true;
    count = count < width ? count : width;
    return precision > 8 ? PlaceRow(rows, y, count, pixels64.Data(), row64) : PlaceRow(rows, y, count, pixels32.Data(), row32);
}

bool cPictJPEG::OutputBufferedRows(int32_t mcu_column, int32_t mcu_row)
{
    return precision > 8 ? PlaceMCU(mcu_column, mcu_row, pixels64.Data(), row64, pointers64)
                         : PlaceMCU(mcu_column, mcu_row, pixels32.Data(), row32, pointers32);
}
