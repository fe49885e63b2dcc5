#include "base/text_file_reader.h"

#include <string.h>

#include <utility>

#include "base/string_convert.h"

namespace {

const uint64_t no_offset = ~uint64_t(0);
const uint32_t unit_nul = 0;
const uint32_t unit_lf = 10;
const uint32_t unit_cr = 13;

// The byte-order mark of each encoding, by number (none for the first two).
struct cByteOrderMark {
    int32_t length;
    uint8_t bytes[3];
};
const cByteOrderMark marks[] = {{0, {}}, {0, {}}, {3, {0xEF, 0xBB, 0xBF}}, {2, {0xFF, 0xFE}}, {2, {0xFE, 0xFF}}};

bool starts_with_mark(const uint8_t* bytes, int32_t count, int32_t encoding)
{
    const cByteOrderMark& mark = marks[encoding];
    return mark.length && count >= mark.length && !memcmp(bytes, mark.bytes, size_t(mark.length));
}

}  // namespace

cTextFileReader::cTextFileReader()
    : source(nullptr), position(0), window_start(no_offset), chunk_size(4096), held(0),
      encoding(TEXT_ENCODING_DETECT), mark_length(0), pending_lf(no_offset)
{
}

bool cTextFileReader::OpenFile(const wchar_t* path)
{
    source = nullptr;
    if (!cFileIO::Open(path, FILE_MODE_READ))
        return false;
    source = this;
    return Open(TEXT_ENCODING_DETECT);
}

bool cTextFileReader::Attach(cFileIOTarget* stream)
{
    cFileIO::Close();
    source = stream;
    return stream && Open(TEXT_ENCODING_UTF8);
}

bool cTextFileReader::Open(int32_t new_encoding)
{
    if (!source || new_encoding < TEXT_ENCODING_DETECT || new_encoding > TEXT_ENCODING_UTF16BE)
        return false;
    // A window read under another source or unit size means nothing now.
    window_start = no_offset;
    held = 0;
    // The mark is looked for where it is skipped: at the start.
    if (!source->Seek(0))
        return false;
    uint8_t mark[3] = {0, 0, 0};
    if (new_encoding == TEXT_ENCODING_DETECT) {
        int32_t got = source->Read(mark, 3);
        encoding = TEXT_ENCODING_UTF16LE_NO_MARK;
        for (int32_t marked = TEXT_ENCODING_UTF8; marked <= TEXT_ENCODING_UTF16BE; ++marked)
            if (starts_with_mark(mark, got, marked))
                encoding = marked;
        mark_length = marks[encoding].length;
    } else {
        // A given encoding stays, whether its mark is there or not.
        encoding = new_encoding;
        int32_t length = marks[encoding].length;
        bool marked = length && source->ReadExact(mark, uint32_t(length)) && starts_with_mark(mark, length, encoding);
        mark_length = marked ? length : 0;
    }
    return SeekToText();
}

bool cTextFileReader::Rewind()
{
    return source && SeekToText();
}

bool cTextFileReader::SeekToText()
{
    pending_lf = no_offset;
    if (!source->Seek(uint64_t(mark_length)))
        return false;
    position = uint64_t(mark_length);
    return true;
}

int32_t cTextFileReader::UnitSize() const
{
    return encoding == TEXT_ENCODING_UTF8 ? 1 : 2;
}

uint32_t cTextFileReader::UnitAt(const uint8_t* bytes, int32_t index) const
{
    if (encoding == TEXT_ENCODING_UTF8)
        return bytes[index];
    const uint8_t* unit = bytes + 2 * index;
    return encoding == TEXT_ENCODING_UTF16BE ? uint32_t(unit[0]) << 8 | unit[1] : uint32_t(unit[1]) << 8 | unit[0];
}

bool cTextFileReader::FindLineEnd(const uint8_t* bytes, int32_t from, int32_t count, int32_t* end,
                                  int32_t* end_units) const
{
    for (int32_t i = from; i < count; ++i) {
        uint32_t unit = UnitAt(bytes, i);
        if (unit == unit_nul || unit == unit_lf || unit == unit_cr) {
            *end = i;
            *end_units = unit == unit_cr && i + 1 < count && UnitAt(bytes, i + 1) == unit_lf ? 2 : 1;
            return true;
        }
    }
    return false;
}

bool cTextFileReader::Convert(const uint8_t* bytes, int32_t units, _typebuf<wchar_t>& line) const
{
    if (units == 0) {
        line.Clear();
        return true;
    }
    if (encoding == TEXT_ENCODING_UTF8) {
        wbuf_from_utf8(reinterpret_cast<const char*>(bytes), units, line);
        return line.Count() > 0;
    }
    line.Resize(units);
    if (!line.Data())
        return false;
    for (int32_t i = 0; i < units; ++i)
        line.Data()[i] = wchar_t(UnitAt(bytes, i));
    return true;
}

bool cTextFileReader::ProvideBuffer(_typebuf<uint8_t>& buffer) const
{
    int32_t bytes = chunk_size * UnitSize();
    if (buffer.Count() != bytes)
        buffer.Resize(bytes);
    return buffer.Data() != nullptr;
}

bool cTextFileReader::WindowHolds(uint64_t offset) const
{
    int32_t unit_size = UnitSize();
    return window_start != no_offset && offset >= window_start &&
           offset - window_start < uint64_t(held / unit_size * unit_size);
}

bool cTextFileReader::FillWindow()
{
    if (!source->Seek(position))
        return false;
    int32_t got = source->Read(window.Data(), uint32_t(window.Count()));
    window_start = position;
    held = got > 0 ? got : 0;
    return held / UnitSize() > 0;
}

void cTextFileReader::MovePast(const uint8_t* data, uint64_t data_start, int32_t units_held, int32_t end,
                               int32_t end_units)
{
    position = data_start + uint64_t(end + end_units) * uint64_t(UnitSize());
    // A CR as the last unit held may be the first half of a CR LF.
    if (end_units == 1 && end + 1 == units_held && UnitAt(data, end) == unit_cr)
        pending_lf = position;
}

bool cTextFileReader::ReadLine(_typebuf<wchar_t>& line)
{
    if (!source || !ProvideBuffer(window))
        return false;
    if (!WindowHolds(position) && !FillWindow())
        return false;
    int32_t unit_size = UnitSize();
    if (position == pending_lf) {
        pending_lf = no_offset;
        if (UnitAt(window.Data(), int32_t((position - window_start) / uint64_t(unit_size))) == unit_lf) {
            position += uint64_t(unit_size);
            if (!WindowHolds(position) && !FillWindow())
                return false;
        }
    }
    int32_t units = held / unit_size;
    int32_t from = int32_t((position - window_start) / uint64_t(unit_size));
    int32_t end, end_units;
    if (!FindLineEnd(window.Data(), from, units, &end, &end_units))
        return ReadCrossingLine(from, line);
    if (!Convert(window.Data() + from * unit_size, end - from, line))
        return false;
    MovePast(window.Data(), window_start, units, end, end_units);
    return true;
}

bool cTextFileReader::ReadCrossingLine(int32_t from, _typebuf<wchar_t>& line)
{
    int32_t unit_size = UnitSize();
    int32_t units = held / unit_size;
    int32_t head = units - from;
    uint64_t window_end = window_start + uint64_t(units) * uint64_t(unit_size);
    if (!ProvideBuffer(spill) || !source->Seek(window_end))
        return false;
    int32_t got = source->Read(spill.Data(), uint32_t(spill.Count()));
    int32_t spill_held = got > 0 ? got : 0;
    int32_t spill_units = spill_held / unit_size;
    if (spill_units == 0) {
        // The end of the data ends the last line.
        if (!Convert(window.Data() + from * unit_size, head, line))
            return false;
        position = window_end;
        window_start = position;
        held = 0;
        return true;
    }
    int32_t end = spill_units, end_units = 0;
    FindLineEnd(spill.Data(), 0, spill_units, &end, &end_units);
    if (head + end > chunk_size || !ProvideBuffer(join))
        return false;
    memcpy(join.Data(), window.Data() + from * unit_size, size_t(head * unit_size));
    memcpy(join.Data() + head * unit_size, spill.Data(), size_t(end * unit_size));
    if (!Convert(join.Data(), head + end, line))
        return false;
    std::swap(window, spill);
    window_start = window_end;
    held = spill_held;
    MovePast(window.Data(), window_start, spill_units, end, end_units);
    return true;
}
