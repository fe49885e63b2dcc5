#include "pict/codecs/read_info.h"
#include "pict/codecs/tiff_generic.h"

namespace {

// The image size that IFD0 gives.
class cTiffSizeReader : public cTiffGeneric {
public:
    cTiffSizeReader() : width(0), height(0) {}

    bool OnIfd(int32_t index, uint64_t) override { return index == 0; }

    bool OnEntry(const cTiffEntry& entry) override
    {
        uint64_t value;
        if ((entry.tag == 256 || entry.tag == 257) && EntryUnsigned(entry, 0, &value))
            (entry.tag == 256 ? width : height) = value;
        return true;
    }

    uint64_t width;
    uint64_t height;
};

}  // namespace

bool tiff_read_info(cFileIOTarget* stream, cPictInfo* info)
{
    cTiffSizeReader reader;
    return reader.ParseStream(stream, 0) && reader.width <= INT32_MAX && reader.height <= INT32_MAX &&
           read_info_found(info, int64_t(reader.width), int64_t(reader.height));
}
