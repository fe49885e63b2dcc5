#include "sidoc/doc_picture.h"

#include "base/buf_wrapper_io.h"
#include "gui/image_buffer.h"
#include "pict/pict_factory.h"

bool doc_picture_decode(const uint8_t* data, uint32_t size, cImageBuffer& image)
{
    if (!data || size > INT32_MAX)
        return false;
    cBufWrapperIO stream(const_cast<uint8_t*>(data), int32_t(size), false);
    cPictInfo info = {};
    cPictBase* picture = pict_open_stream(&stream, &info);
    if (!picture)
        return false;
    _typebuf<uint32_t> pixels;
    bool decoded = stream.Seek(0) && picture->Load(&stream);
    int32_t width = decoded ? picture->GetWidth() : 0;
    int32_t height = decoded ? picture->GetHeight() : 0;
    decoded = width > 0 && height > 0 && picture->DetachPixels32(pixels) && image.Attach(pixels, width, height);
    delete picture;
    return decoded;
}

bool doc_picture_recognised(cFileIOTarget* stream)
{
    cPictInfo info = {};
    cPictBase* picture = pict_open_stream(stream, &info);
    delete picture;
    return picture != nullptr;
}
