#include "pict/codecs/exif_decoder.h"

#include <string.h>

#include "base/file_io_subrange.h"
#include "base/string_convert.h"
#include "pict/codecs/jpeg.h"

namespace {

// Property ids.
const int32_t prop_capture_time = 1, prop_file_time = 2, prop_make = 3, prop_model = 4, prop_exposure = 5,
              prop_f_number = 6, prop_iso = 7, prop_x_resolution = 8, prop_y_resolution = 9,
              prop_resolution_unit = 10, prop_mirrored = 11, prop_rotation = 12, prop_thumbnail = 13,
              prop_latitude = 15, prop_longitude = 16, prop_altitude = 17, prop_width = 18, prop_height = 19,
              prop_compression = 20, prop_maker_note = 21;

const uint16_t tag_maker_note = 37500;

bool is_short(const cTiffEntry& e, uint64_t size)
{
    return e.type == tiff_short && e.size >= size;
}

bool is_long(const cTiffEntry& e, uint64_t size)
{
    return e.type == tiff_long && e.size >= size;
}

}  // namespace

cExifDecoder::cExifDecoder(bool keep)
    : target(nullptr), context(exif_ifd0), first_context(exif_ifd0), keep_thumbnail(keep), south(0), west(0),
      below(0), thumbnail_is_jpeg(0), thumbnail_offset(UINT64_MAX), thumbnail_length(UINT64_MAX)
{
}

void cExifDecoder::Prepare(cPictBase* picture, cFileIOTarget* source, uint32_t start_context)
{
    target = picture;
    stream = source;
    context = first_context = start_context;
    south = west = below = 0;
    thumbnail_is_jpeg = 0;
    thumbnail_offset = thumbnail_length = UINT64_MAX;
}

bool cExifDecoder::ParseStreamInto(cPictBase* picture, cFileIOTarget* source, uint32_t start_context)
{
    Prepare(picture, source, start_context);
    return picture && cTiffGeneric::ParseStream(source, 0);
}

bool cExifDecoder::ParseIfdInto(cPictBase* picture, cFileIOTarget* source, uint32_t start_context, uint64_t offset,
                                uint8_t order, uint8_t big_tiff, uint64_t size)
{
    Prepare(picture, source, start_context);
    ResetVisits();
    return picture && source && ParseIfd(offset, order, big_tiff, size);
}

bool cExifDecoder::ParseStream(cFileIOTarget*, uint64_t)
{
    return false;
}

bool cExifDecoder::OnIfd(int32_t index, uint64_t)
{
    // IFD0 and the thumbnail's IFD1; the chain means nothing further.
    if (index == 0)
        context = first_context;
    else if (index == 1 && first_context == exif_ifd0)
        context = exif_ifd1;
    else
        return false;
    return true;
}

cPictProp* cExifDecoder::Property(int32_t id, int32_t kind)
{
    cPictProp* prop = target->GetProperty(id, true);
    return prop && prop->GetKind() == kind ? prop : nullptr;
}

bool cExifDecoder::LoadEntryData(cTiffEntry& entry)
{
    if (entry.tag == tag_maker_note && entry.size &&
        (context == exif_ifd0 || context == exif_ifd_exif || context == exif_ifd_interoperability)) {
        if (!FetchEntryData(entry)) {
            error_code = tiff_error_read;
            return false;
        }
        if (cPictPropRaw* note = static_cast<cPictPropRaw*>(Property(prop_maker_note, 5))) {
            note->bytes.Resize(int32_t(entry.size));
            if (note->bytes.Data())
                memcpy(note->bytes.Data(), entry.data, size_t(entry.size));
            note->position = entry.value_offset;
        }
    }
    return cTiffGeneric::LoadEntryData(entry);
}

bool cExifDecoder::OnEntry(const cTiffEntry& entry)
{
    switch (context) {
    case exif_ifd0:
    case exif_ifd_exif:
    case exif_ifd_interoperability: return OnMainEntry(entry);
    case exif_ifd_gps: return OnGpsEntry(entry);
    case exif_ifd1: return OnThumbnailEntry(entry);
    default: return true;
    }
}

bool cExifDecoder::Follow(const cTiffEntry& entry, uint32_t into)
{
    const bool four = (entry.type == tiff_long || entry.type == tiff_ifd) && entry.size == 4;
    const bool eight = (entry.type == tiff_long8 || entry.type == tiff_ifd8) && entry.size == 8;
    uint64_t offset;
    if (!(four || eight) || !EntryUnsigned(entry, 0, &offset))
        return false;
    if (offset == 0)
        return true;
    const uint32_t outer = context;
    context = into;
    const bool walked = ParseIfd(offset, byte_order, big, stream_size);
    context = outer;
    return walked;
}

bool cExifDecoder::OnMainEntry(const cTiffEntry& e)
{
    uint64_t value = 0;
    double number = 0.0;
    switch (e.tag) {
    case 256:
    case 257:
    case 259:
        if (e.tag == 259 ? !((e.type == tiff_short && e.size == 2) || (e.type == tiff_long && e.size == 4))
                         : !(is_short(e, 2) || is_long(e, 4)))
            return false;
        if (cPictPropInt* p = static_cast<cPictPropInt*>(
                Property(e.tag == 256 ? prop_width : e.tag == 257 ? prop_height : prop_compression, 0)))
            p->value = EntryUnsigned(e, 0, &value) && value <= INT32_MAX ? int32_t(value) : 0;
        return true;
    case 271:
    case 272:
        if (e.type != tiff_ascii || e.size < 1)
            return false;
        // Texts beyond what the walker fetches are no camera's name.
        if (e.size > 1 && e.data) {
            if (cPictPropString* p = static_cast<cPictPropString*>(Property(e.tag == 271 ? prop_make : prop_model, 3))) {
                const char* text = reinterpret_cast<const char*>(e.data);
                const void* nul = memchr(text, 0, size_t(e.size - 1));
                wstr_from_utf8(int32_t(nul ? static_cast<const char*>(nul) - text : e.size - 1), text, p->value);
            }
        }
        return true;
    case 274: {
        if (!(e.type == tiff_short && e.size == 2))
            return false;
        // Mirrored flag and rotation of orientations 1 to 8.
        static const uint8_t mirrored[9] = {0, 0, 1, 0, 2, 1, 0, 1, 0};
        static const uint16_t rotation[9] = {0, 0, 0, 180, 0, 90, 270, 270, 90};
        EntryUnsigned(e, 0, &value);
        const int32_t o = value <= 8 ? int32_t(value) : 0;
        if (cPictPropInt* p = static_cast<cPictPropInt*>(Property(prop_mirrored, 0)))
            p->value = mirrored[o];
        if (cPictPropInt* p = static_cast<cPictPropInt*>(Property(prop_rotation, 0)))
            p->value = rotation[o];
        return true;
    }
    case 282:
    case 283:
    case 33434:
    case 33437: {
        if (e.type != tiff_rational || e.size < 8)
            return false;
        const int32_t id = e.tag == 282 ? prop_x_resolution
                           : e.tag == 283 ? prop_y_resolution
                           : e.tag == 33434 ? prop_exposure
                                            : prop_f_number;
        // A zero denominator, and a resolution of 0, give nothing.
        if (EntryRational(e, 0, &number) && (number > 0.0 || e.tag > 283))
            if (cPictPropDouble* p = static_cast<cPictPropDouble*>(Property(id, 1)))
                p->value = number;
        return true;
    }
    case 296:
        if (!(e.type == tiff_short && e.size == 2))
            return false;
        EntryUnsigned(e, 0, &value);
        if (cPictPropInt* p = static_cast<cPictPropInt*>(Property(prop_resolution_unit, 0)))
            p->value = value == 3 ? 0 : 1;
        return true;
    case 306:
    case 36867: {
        if (e.type != tiff_ascii || e.size < 10)
            return false;
        cPictPropTimestamp date;
        if (tiff_read_date(e.data, e.size, &date))
            if (cPictPropTimestamp* p = static_cast<cPictPropTimestamp*>(
                    Property(e.tag == 306 ? prop_file_time : prop_capture_time, 2))) {
                p->year = date.year;
                p->month = date.month;
                p->day = date.day;
                p->hour = date.hour;
                p->minute = date.minute;
                p->second = date.second;
            }
        return true;
    }
    case 34855:
        if (!is_short(e, 2))
            return false;
        EntryUnsigned(e, 0, &value);
        if (cPictPropInt* p = static_cast<cPictPropInt*>(Property(prop_iso, 0)))
            p->value = int32_t(value);
        return true;
    case exif_ifd_exif:
    case exif_ifd_gps:
        return context != exif_ifd0 || Follow(e, e.tag);
    case exif_ifd_interoperability:
        return context != exif_ifd_exif || Follow(e, e.tag);
    default:
        return true;
    }
}

bool cExifDecoder::OnGpsEntry(const cTiffEntry& e)
{
    switch (e.tag) {
    case 1:
    case 3: {
        if (e.type != tiff_ascii || e.size != 2)
            return false;
        const uint8_t letter = e.data[0];
        const uint8_t positive = e.tag == 1 ? 'N' : 'E', negative = e.tag == 1 ? 'S' : 'W';
        if (letter != 0 && letter != positive && letter != negative)
            return false;
        (e.tag == 1 ? south : west) = letter == negative;
        return true;
    }
    case 2:
    case 4: {
        if (e.type != tiff_rational || e.size < 16)
            return false;
        // Degrees, minutes and, where given, seconds.
        double degrees, minutes, seconds = 0.0;
        if (!EntryRational(e, 0, &degrees) || !EntryRational(e, 1, &minutes) ||
            (e.count > 2 && !EntryRational(e, 2, &seconds)))
            return true;
        double angle = degrees + minutes / 60.0 + seconds / 3600.0;
        if (e.tag == 2 ? south : west)
            angle = -angle;
        if (cPictPropDouble* p = static_cast<cPictPropDouble*>(Property(e.tag == 2 ? prop_latitude : prop_longitude, 1)))
            p->value = angle;
        return true;
    }
    case 5:
        if (e.type != tiff_byte || e.size != 1 || e.data[0] > 1)
            return false;
        below = e.data[0];
        return true;
    case 6: {
        if (e.type != tiff_rational || e.size < 8)
            return false;
        double altitude;
        if (EntryRational(e, 0, &altitude))
            if (cPictPropDouble* p = static_cast<cPictPropDouble*>(Property(prop_altitude, 1)))
                p->value = below ? -altitude : altitude;
        return true;
    }
    default:
        return true;
    }
}

bool cExifDecoder::OnThumbnailEntry(const cTiffEntry& e)
{
    uint64_t value = 0;
    switch (e.tag) {
    case 259:
        if (!is_short(e, 2))
            return false;
        EntryUnsigned(e, 0, &value);
        thumbnail_is_jpeg = value == 6 || value == 7 || value == 99;
        return true;
    case 513:
    case 514:
        if (!is_long(e, 4))
            return false;
        EntryUnsigned(e, 0, &value);
        (e.tag == 513 ? thumbnail_offset : thumbnail_length) = value;
        return thumbnail_offset == UINT64_MAX || thumbnail_length == UINT64_MAX || TakeThumbnail();
    default:
        return true;
    }
}

bool cExifDecoder::TakeThumbnail()
{
    if (!thumbnail_is_jpeg || thumbnail_offset == 0 || thumbnail_length == 0)
        return true;
    if (thumbnail_offset > stream_size || thumbnail_length > stream_size - thumbnail_offset)
        return false;
    cFileIOSubRange range(stream, thumbnail_offset, thumbnail_length);
    if (!range.IsOpen())
        return false;
    cPictJPEG* thumbnail = new cPictJPEG;
    if (!thumbnail)
        return true;
    thumbnail->decode_thumbnail = 0;
    if (keep_thumbnail && !thumbnail->Load(&range)) {
        error_code = tiff_error_thumbnail;
        error_position = thumbnail_offset + thumbnail->position;
        delete thumbnail;
        return false;
    }
    cPictPropImage* image = static_cast<cPictPropImage*>(Property(prop_thumbnail, 4));
    if (!image) {
        delete thumbnail;
        return true;
    }
    delete image->picture;
    image->picture = thumbnail;
    return true;
}
