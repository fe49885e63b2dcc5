#include <string.h>

#include "base/byte_order.h"
#include "pict/codecs/read_info.h"
#include "pict/raw/raw_probes.h"
#include "pict/raw/raw_tiff_survey.h"

namespace {

enum eRawTiff {
    raw_tiff_none, raw_tiff_orf, raw_tiff_rwl, raw_tiff_pef, raw_tiff_arw, raw_tiff_srw, raw_tiff_iiq, raw_tiff_mos,
    raw_tiff_cr2, raw_tiff_nef, raw_tiff_3fr, raw_tiff_dng, raw_tiff_ep
};

// Phase One maker notes that hold the raw data are this large at least.
const uint64_t phase_one_raw_size = 1000000;

// Whether a maker note's first 8 bytes open a Phase One raw block, and
// one in little-endian order.
bool phase_one_little(const uint8_t* head)
{
    return memcmp(head, "IIII", 4) == 0 && memcmp(head + 5, "waR", 3) == 0;
}

bool phase_one_header(const uint8_t* head)
{
    return phase_one_little(head) || memcmp(head, "MMMMRaw", 7) == 0;
}

// The image size of a Phase One directory (maker note at offset): its
// image size, else its sensor size.
bool phase_one_size(cRawTiffSurvey& survey, int64_t* width, int64_t* height)
{
    uint8_t head[12];
    const uint64_t base = survey.maker_note_offset;
    if (!survey.stream->Seek(base) || !survey.stream->ReadExact(head, sizeof head))
        return false;
    if (!phase_one_header(head))
        return false;
    const bool little = phase_one_little(head);
    auto read32 = [&](const uint8_t* bytes) { return little ? read_u32_le(bytes) : read_u32_be(bytes); };
    const uint64_t directory = base + read32(head + 8);
    uint8_t count_bytes[8];
    if (!survey.stream->Seek(directory) || !survey.stream->ReadExact(count_bytes, sizeof count_bytes))
        return false;
    const uint32_t count = read32(count_bytes);
    if (count < 2 || count > 300)
        return false;
    // Sensor width and height, its margins, image width and height.
    uint64_t sizes[6] = {};
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t entry[16];
        if (!survey.stream->ReadExact(entry, sizeof entry))
            return false;
        const uint32_t tag = read32(entry);
        if (tag >= 0x108 && tag <= 0x10D && read32(entry + 8) <= 4)
            sizes[tag - 0x108] = read32(entry + 12);
    }
    *width = int64_t(sizes[4] ? sizes[4] : sizes[0]);
    *height = int64_t(sizes[5] ? sizes[5] : sizes[1]);
    return true;
}

bool phase_one_maker_note(cRawTiffSurvey& survey)
{
    uint8_t head[8];
    return survey.maker_note_size > phase_one_raw_size && survey.stream->Seek(survey.maker_note_offset) &&
           survey.stream->ReadExact(head, sizeof head) && phase_one_header(head);
}

// The TIFF-structured raw format of the stream, with its size after the
// crop; none for anything else, plain TIFF included.
eRawTiff classify(cFileIOTarget* stream, int64_t* width, int64_t* height, bool* preview)
{
    uint8_t head[12];
    cRawTiffSurvey survey;
    if (!stream || !stream->Seek(0) || !stream->ReadExact(head, sizeof head))
        return raw_tiff_none;
    eRawTiff kind = raw_tiff_none;
    if (memcmp(head, "IIU\0", 4) == 0) {
        if (!survey.SurveyFrom(stream, 0, read_u32_le(head + 4)))
            return raw_tiff_none;
        kind = raw_tiff_rwl;
    } else if (memcmp(head, "IIRO", 4) == 0 || memcmp(head, "IIRS", 4) == 0 || memcmp(head, "MMOR", 4) == 0) {
        const bool little = head[0] == 'I';
        if (!survey.SurveyFrom(stream, little ? 0 : 1, little ? read_u32_le(head + 4) : read_u32_be(head + 4)))
            return raw_tiff_none;
        kind = raw_tiff_orf;
    } else {
        if (!survey.Survey(stream))
            return raw_tiff_none;
        const bool raw = survey.HasRawImage();
        if (head[8] == 'C' && head[9] == 'R' && head[10] == 2)
            kind = raw_tiff_cr2;
        else if (survey.dng)
            kind = raw_tiff_dng;
        else if (phase_one_maker_note(survey))
            kind = raw_tiff_iiq;
        else if (survey.leaf || (raw && survey.MakeIs("LEAF")))
            kind = raw_tiff_mos;
        else if (raw && (survey.MakeIs("PENTAX") || survey.MakeIs("RICOH")))
            kind = raw_tiff_pef;
        else if (raw && survey.MakeIs("SONY"))
            kind = raw_tiff_arw;
        else if (raw && survey.MakeIs("SAMSUNG"))
            kind = raw_tiff_srw;
        else if (raw && survey.MakeIs("NIKON"))
            kind = raw_tiff_nef;
        else if (raw && survey.MakeIs("HASSELBLAD"))
            kind = raw_tiff_3fr;
        else if (survey.tiff_ep)
            kind = raw_tiff_ep;
        else
            return raw_tiff_none;
    }
    // A Phase One maker note holds the raw data: no IFD's image is the raw one.
    *preview = survey.HasJpegPreview(kind != raw_tiff_iiq);
    const uint64_t* s = survey.sensor;  // width, height, top, left, bottom, right
    if (kind == raw_tiff_rwl && s[0] && s[1]) {
        const bool borders = s[5] > s[3] && s[4] > s[2];
        *width = int64_t(borders ? s[5] - s[3] : s[0]);
        *height = int64_t(borders ? s[4] - s[2] : s[1]);
        return kind;
    }
    if (kind == raw_tiff_iiq && phase_one_size(survey, width, height) && *width > 0 && *height > 0)
        return kind;
    return survey.CroppedSize(width, height) ? kind : raw_tiff_none;
}

bool answer(eRawTiff wanted, cFileIOTarget* stream, cPictInfo* info)
{
    int64_t width = 0, height = 0;
    bool preview = false;
    if (classify(stream, &width, &height, &preview) != wanted || !read_info_found(info, width, height))
        return false;
    if (info)
        info->has_preview = preview;
    return true;
}

}  // namespace

bool probe_pef(cFileIOTarget* stream, cPictInfo* info)
{
    return answer(raw_tiff_pef, stream, info);
}

bool probe_mos(cFileIOTarget* stream, cPictInfo* info)
{
    return answer(raw_tiff_mos, stream, info);
}

bool probe_3fr(cFileIOTarget* stream, cPictInfo* info)
{
    return answer(raw_tiff_3fr, stream, info);
}

bool probe_tiff_ep(cFileIOTarget* stream, cPictInfo* info)
{
    return answer(raw_tiff_ep, stream, info);
}

bool rwl_read_info(cFileIOTarget* stream, cPictInfo* info)
{
    return answer(raw_tiff_rwl, stream, info);
}

bool orf_read_info(cFileIOTarget* stream, cPictInfo* info)
{
    return answer(raw_tiff_orf, stream, info);
}

bool arw_read_info(cFileIOTarget* stream, cPictInfo* info)
{
    return answer(raw_tiff_arw, stream, info);
}

bool srw_read_info(cFileIOTarget* stream, cPictInfo* info)
{
    return answer(raw_tiff_srw, stream, info);
}

bool iiq_read_info(cFileIOTarget* stream, cPictInfo* info)
{
    return answer(raw_tiff_iiq, stream, info);
}

bool cr2_read_info(cFileIOTarget* stream, cPictInfo* info)
{
    return answer(raw_tiff_cr2, stream, info);
}

bool nef_read_info(cFileIOTarget* stream, cPictInfo* info)
{
    return answer(raw_tiff_nef, stream, info);
}

bool dng_read_info(cFileIOTarget* stream, cPictInfo* info)
{
    return answer(raw_tiff_dng, stream, info);
}
