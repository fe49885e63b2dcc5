#ifndef BASE_TEXT_FILE_READER_H
#define BASE_TEXT_FILE_READER_H

#include <stdint.h>

#include "base/buffers/typebuf.h"
#include "base/file_io.h"

// Encodings of cTextFileReader::Open.
enum : int32_t {
    TEXT_ENCODING_DETECT = 0,          // by the byte-order mark; none: UTF-16LE
    TEXT_ENCODING_UTF16LE_NO_MARK = 1, // UTF-16LE from the first byte on
    TEXT_ENCODING_UTF8 = 2,
    TEXT_ENCODING_UTF16LE = 3,
    TEXT_ENCODING_UTF16BE = 4,
};

// Reads a text file, or any other stream, line by line into UTF-16. Lines
// end at LF, CR LF, a lone CR or a NUL unit; a CR LF split between two
// windows is one line end. The data is read in windows of 4096 code units
// (bytes for UTF-8, 16-bit units otherwise). A line that crosses a window
// boundary may be at most 4096 units long; a longer one stops the reading
// there. Invalid UTF-8 passes byte by byte; a byte left over after the last
// whole UTF-16 unit is no part of the text.
class cTextFileReader : public cFileIO {
public:
    cTextFileReader();

    // Opens the file for reading and detects its encoding; the reader is
    // then its own source.
    bool OpenFile(const wchar_t* path);
    // Reads the stream (not owned; kept alive by the caller) as UTF-8, with
    // or without a UTF-8 mark. Closes a file opened before. False for null.
    bool Attach(cFileIOTarget* stream);
    // Settles the encoding (TEXT_ENCODING_*) and the mark at the start of
    // the source, and goes to the first line. False without a source, for
    // an unknown encoding, or when the source cannot seek.
    bool Open(int32_t encoding);
    // Back to the first line.
    bool Rewind();
    // The next line without its line end (empty for an empty line). False
    // at the end of the data, when the source fails, when a line crossing a
    // window is longer than 4096 units, and when memory runs out.
    bool ReadLine(_typebuf<wchar_t>& line);

    int32_t Encoding() const { return encoding; }
    // Bytes of the byte-order mark skipped at the start: 0, 2 or 3.
    int32_t MarkLength() const { return mark_length; }

private:
    cFileIOTarget* source;
    uint64_t position;     // file offset of the next line
    uint64_t window_start; // file offset of window[0]; all ones: no window
    _typebuf<uint8_t> window;
    _typebuf<uint8_t> spill;
    _typebuf<uint8_t> join;
    int32_t chunk_size; // code units in each buffer
    int32_t held;       // bytes in the window
    int32_t encoding;
    int32_t mark_length;
    // Offset just past a CR that was the last unit of the data held: an LF
    // found there completes that line end. All ones when none is pending.
    uint64_t pending_lf;

    int32_t UnitSize() const;
    uint32_t UnitAt(const uint8_t* bytes, int32_t index) const;
    // The first line end among units [from, count): its index and its
    // length in units (2 for CR LF).
    bool FindLineEnd(const uint8_t* bytes, int32_t from, int32_t count, int32_t* end, int32_t* end_units) const;
    bool Convert(const uint8_t* bytes, int32_t units, _typebuf<wchar_t>& line) const;
    bool ProvideBuffer(_typebuf<uint8_t>& buffer) const;
    bool WindowHolds(uint64_t offset) const;
    bool FillWindow();
    // The position past the line end at units [end, end + end_units) of
    // data read from data_start, of which units_held are held.
    void MovePast(const uint8_t* data, uint64_t data_start, int32_t units_held, int32_t end, int32_t end_units);
    bool ReadCrossingLine(int32_t from, _typebuf<wchar_t>& line);
    bool SeekToText();
};

#endif
