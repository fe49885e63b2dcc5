#include "pict/raw/raw_tiff_survey.h"

#include <string.h>

namespace {

// Tags.
const uint32_t tag_subfile_type = 254;
const uint32_t tag_width = 256;
const uint32_t tag_height = 257;
const uint32_t tag_compression = 259;
const uint32_t tag_photometric = 262;
const uint32_t tag_make = 271;
const uint32_t tag_strip_offsets = 273;
const uint32_t tag_strip_byte_counts = 279;
const uint32_t tag_tile_offsets = 324;
const uint32_t tag_tile_byte_counts = 325;
const uint32_t tag_sub_ifds = 330;
const uint32_t tag_jpeg_offset = 513;
const uint32_t tag_jpeg_length = 514;
const uint32_t tag_leaf_data = 34310;
const uint32_t tag_exif_ifd = 34665;
const uint32_t tag_tiff_ep = 37398;
const uint32_t tag_maker_note = 37500;
const uint32_t tag_exif_width = 40962;
const uint32_t tag_exif_height = 40963;
const uint32_t tag_dng_version = 50706;
const uint32_t tag_default_crop_size = 50720;
// The "IIU" form's IFD0: sensor width and height, then its top, left,
// bottom and right borders; and its JPEG preview.
const uint32_t tag_sensor_first = 2;
const uint32_t tag_sensor_last = 7;
const uint32_t tag_jpeg_from_raw = 0x2E;

// Colour-filter samples, and linear raw samples.
const uint32_t photometric_cfa = 32803;
const uint32_t photometric_linear_raw = 34892;

bool raw_compression(uint32_t compression)
{
    switch (compression) {
    case 32767:  // Sony
    case 32769:  // Samsung, Epson
    case 32770:
    case 32772:
    case 32773:
    case 34713:  // Nikon
    case 65535:  // Pentax
        return true;
    default:
        return false;
    }
}

}  // namespace

cRawTiffSurvey::cRawTiffSurvey()
    : image_count(0), dng(false), tiff_ep(false), leaf(false), maker_note_offset(0), maker_note_size(0),
      exif_width(0), exif_height(0), jpeg_from_raw(0), current(nullptr), pending_count(0)
{
    memset(images, 0, sizeof images);
    memset(make, 0, sizeof make);
    memset(sensor, 0, sizeof sensor);
    memset(pending, 0, sizeof pending);
}

void cRawTiffSurvey::StartImage()
{
    current = image_count < most_images ? &images[image_count++] : nullptr;
}

bool cRawTiffSurvey::OnIfd(int32_t index, uint64_t)
{
    StartImage();
    return index < most_images;
}

bool cRawTiffSurvey::OnEntry(const cTiffEntry& entry)
{
    uint64_t value = 0;
    // Sizes past 32 bits are no image's: they count as absent.
    const bool number = EntryUnsigned(entry, 0, &value) && value <= 0xFFFFFFFFu;
    cRawImage* image = current;
    switch (entry.tag) {
    case tag_subfile_type: if (image && number) image->subfile_type = uint32_t(value); break;
    case tag_width: if (image && number) image->width = value; break;
    case tag_height: if (image && number) image->height = value; break;
    case tag_compression: if (image && number) image->compression = uint32_t(value); break;
    case tag_photometric: if (image && number) image->photometric = uint32_t(value); break;
    case tag_jpeg_offset: if (image && number) image->jpeg_offset = value; break;
    case tag_jpeg_length: if (image && number) image->jpeg_length = value; break;
    case tag_strip_offsets:
    case tag_tile_offsets: if (image && FirstElement(entry, &value)) image->data_offset = value; break;
    case tag_strip_byte_counts:
    case tag_tile_byte_counts: if (image && FirstElement(entry, &value)) image->data_length = value; break;
    case tag_make:
        if (!make[0] && entry.data && entry.type == tiff_ascii)
            memcpy(make, entry.data, size_t(entry.size < 32 ? entry.size : 32));
        break;
    case tag_sub_ifds:
    case tag_exif_ifd:
        for (uint64_t i = 0; i < entry.count && pending_count < most_images; ++i)
            if (EntryUnsigned(entry, i, &value) && value != 0)
                pending[pending_count++] = value;
        break;
    case tag_default_crop_size: {
        double width, height;
        uint64_t w, h;
        if (image && EntryUnsigned(entry, 0, &w) && EntryUnsigned(entry, 1, &h) && w <= 0xFFFFFFFFu &&
            h <= 0xFFFFFFFFu) {
            image->crop_width = w;
            image->crop_height = h;
        } else if (image && EntryRational(entry, 0, &width) && EntryRational(entry, 1, &height) && width >= 1 &&
                   height >= 1 && width < 4294967296.0 && height < 4294967296.0) {
            image->crop_width = uint64_t(width);
            image->crop_height = uint64_t(height);
        }
        break;
    }
    case tag_dng_version: dng = true; break;
    case tag_tiff_ep: tiff_ep = true; break;
    case tag_leaf_data: leaf = true; break;
    case tag_maker_note:
        maker_note_offset = entry.value_offset;
        maker_note_size = entry.size;
        break;
    case tag_exif_width: if (number) exif_width = value; break;
    case tag_exif_height: if (number) exif_height = value; break;
    case tag_jpeg_from_raw: if (image == &images[0]) jpeg_from_raw = entry.size; break;
    default:
        if (entry.tag >= tag_sensor_first && entry.tag <= tag_sensor_last && image == &images[0] && number)
            sensor[entry.tag - tag_sensor_first] = value;
    }
    return true;
}

bool cRawTiffSurvey::FirstElement(const cTiffEntry& entry, uint64_t* value)
{
    if (entry.count == 0)
        return false;
    cTiffEntry first = entry;
    first.size = entry.size / entry.count;
    first.count = 1;
    return FetchEntryData(first) && EntryUnsigned(first, 0, value);
}

bool cRawTiffSurvey::HoldsBytes(uint64_t offset, uint64_t length) const
{
    return length > 0 && offset < stream_size;
}

bool cRawTiffSurvey::WalkPending()
{
    for (int32_t i = 0; i < pending_count; ++i) {
        StartImage();
        if (!ParseIfd(pending[i], byte_order, big, stream_size))
            return false;
    }
    return true;
}

bool cRawTiffSurvey::Survey(cFileIOTarget* source)
{
    return ParseStream(source, 0) && WalkPending();
}

bool cRawTiffSurvey::SurveyFrom(cFileIOTarget* source, uint8_t order, uint64_t first_ifd)
{
    ResetVisits();
    stream = source;
    if (!stream || !stream->IsOpen())
        return false;
    stream_size = stream->GetSize();
    byte_order = order;
    big = 0;
    return WalkChain(first_ifd) && WalkPending();
}

const cRawImage* cRawTiffSurvey::MainImage() const
{
    const cRawImage* best = nullptr;
    for (int32_t i = 0; i < image_count; ++i)
        if (images[i].width * images[i].height > (best ? best->width * best->height : 0))
            best = &images[i];
    return best;
}

bool cRawTiffSurvey::HasRawImage() const
{
    for (int32_t i = 0; i < image_count; ++i)
        if (images[i].photometric == photometric_cfa || images[i].photometric == photometric_linear_raw ||
            raw_compression(images[i].compression))
            return true;
    return false;
}

bool cRawTiffSurvey::HasJpegPreview(bool raw_among_images) const
{
    const cRawImage* main = raw_among_images ? MainImage() : nullptr;
    for (int32_t i = 0; i < image_count; ++i) {
        const cRawImage& image = images[i];
        const bool colour = image.photometric == 2 || image.photometric == 6;
        const bool jpeg_strips = (image.compression == 6 || image.compression == 7) && colour &&
                                 HoldsBytes(image.data_offset, image.data_length);
        if (&image != main && (HoldsBytes(image.jpeg_offset, image.jpeg_length) || jpeg_strips))
            return true;
    }
    return jpeg_from_raw > 0;
}

bool cRawTiffSurvey::CroppedSize(int64_t* width, int64_t* height) const
{
    const cRawImage* main = MainImage();
    if (!main)
        return false;
    uint64_t w = main->width, h = main->height;
    if (dng) {
        // The full-resolution image of a DNG is the one not marked reduced.
        const cRawImage* full = nullptr;
        for (int32_t i = 0; i < image_count; ++i)
            if ((images[i].subfile_type & 1) == 0 && images[i].width * images[i].height > 0 &&
                (!full || images[i].width * images[i].height > full->width * full->height))
                full = &images[i];
        if (full) {
            w = full->crop_width ? full->crop_width : full->width;
            h = full->crop_height ? full->crop_height : full->height;
        }
    } else if (exif_width > 0 && exif_height > 0 && exif_width <= w && exif_height <= h) {
        w = exif_width;
        h = exif_height;
    }
    *width = int64_t(w);
    *height = int64_t(h);
    return true;
}

bool cRawTiffSurvey::MakeIs(const char* prefix) const
{
    for (size_t i = 0; prefix[i]; ++i) {
        char c = make[i];
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        if (c != prefix[i])
            return false;
    }
    return true;
}
