#ifndef PICT_CODECS_TIFF_GENERIC_H
#define PICT_CODECS_TIFF_GENERIC_H

#include <stdint.h>

#include "base/buffers/typebuf.h"
#include "base/file_io_target.h"
#include "pict/pict_props.h"

// TIFF field types.
enum : uint16_t {
    tiff_byte = 1, tiff_ascii = 2, tiff_short = 3, tiff_long = 4, tiff_rational = 5, tiff_sbyte = 6,
    tiff_undefined = 7, tiff_sshort = 8, tiff_slong = 9, tiff_srational = 10, tiff_float = 11, tiff_double = 12,
    tiff_ifd = 13, tiff_long8 = 16, tiff_slong8 = 17, tiff_ifd8 = 18,
};

// Bytes of one value of the type; 0 for a type the walker does not know
// (such entries are skipped, as TIFF readers must).
uint32_t tiff_type_size(uint16_t type);

// What stopped a walk (cTiffGeneric::error_code).
enum : int32_t {
    tiff_error_none = 0,
    tiff_error_short = 2,       // the stream is shorter than the header
    tiff_error_offset = 3,      // a read failed, or an offset or a value lies outside the stream
    tiff_error_byte_order = 4,  // neither "II" nor "MM"
    tiff_error_version = 5,     // neither 42 nor a BigTIFF header (43, offsets of 8 bytes)
    tiff_error_read = 6,        // a value a sink reads itself could not be read
    tiff_error_entry = 7,       // the sink refused an entry
    tiff_error_thumbnail = 8,   // an embedded thumbnail failed to decode
    tiff_error_limit = 9,       // more IFDs or entries than any real file has
};

// The pseudo-tag under which each IFD's next-IFD link reaches the sink (type
// LONG, LONG8 in BigTIFF).
const uint32_t tiff_next_ifd_tag = 65536;

// Values up to this many bytes arrive with their entry; larger ones (strip
// tables, maker notes) only as an offset, for FetchEntryData.
const uint64_t tiff_fetch_limit = 4096;

// One IFD entry as the sink sees it. Its count x type size has been checked
// in 64 bits: the value lies inside the stream.
struct cTiffEntry {
    uint32_t tag;
    uint16_t type;
    uint64_t count;
    uint64_t size;          // bytes of the value: count x the type's size
    uint64_t value_offset;  // where those bytes start (the entry's own field when they fit there)
    const uint8_t* data;    // the bytes, or null while not fetched; valid until the next entry
};

// A date and time as EXIF and TIFF write it ("YYYY:MM:DD HH:MM:SS", the
// time optional); false for other text and impossible fields.
bool tiff_read_date(const uint8_t* text, uint64_t size, cPictPropTimestamp* date);

// The TIFF structure walker: reads the header ("II" or "MM", 42, or 43 for
// BigTIFF) and walks the IFD chain, handing every entry to the virtual sink
// operations. Only the walker follows the chain (the next-IFD link is
// reported, as the pseudo-tag 65536, but a sink must not walk it); a sink
// walks the IFDs that tags point at itself through ParseIfd. No IFD is
// walked twice in one parse, whatever points at it, so cycles end.
class cTiffGeneric {
public:
    cTiffGeneric();
    virtual ~cTiffGeneric();
    cTiffGeneric(const cTiffGeneric&) = delete;
    cTiffGeneric& operator=(const cTiffGeneric&) = delete;

    // The header at offset 0 and the chain from IFD0, over the first size
    // bytes of the stream (0: all of it); offsets count from the stream's
    // start. True when every IFD walked succeeded; a chain that comes back
    // to an IFD already walked ends there. On failure error_code and
    // error_position tell what and where.
    virtual bool ParseStream(cFileIOTarget* stream, uint64_t size);
    // One IFD at offset of the stream set before (ParseStream, or a sink
    // that set stream itself): every entry through LoadEntryData, then the
    // next-IFD link (kept in next_ifd). An IFD walked before in this parse
    // answers true at once, with next_ifd 0. A false from LoadEntryData
    // stops the walk with error 7 unless a code is already set. A sink may
    // call it from OnEntry for the IFDs that entries point at (SubIFDs, the
    // Exif IFD); the chain goes on unaffected.
    virtual bool ParseIfd(uint64_t offset, uint8_t byte_order, uint8_t big, uint64_t stream_size);
    // Fetches the value when it is small, then OnEntry.
    virtual bool LoadEntryData(cTiffEntry& entry);
    // The sink: false refuses the entry and stops the walk. True in the base.
    virtual bool OnEntry(const cTiffEntry& entry);
    // Before IFD number index (0 for IFD0) of the chain, one not walked
    // yet; false ends the chain there, without error. True in the base.
    virtual bool OnIfd(int32_t index, uint64_t offset);

    // Reads an entry's value into the scratch buffer when it is not in
    // memory yet; false (error 3 set) when it cannot be read.
    bool FetchEntryData(cTiffEntry& entry);
    // Frees the scratch buffer (a walker kept after its walk).
    void FreeScratch();
    // Forgets the IFDs walked, as a new parse does.
    void ResetVisits();

    uint16_t Read16(const uint8_t* bytes) const;
    uint32_t Read32(const uint8_t* bytes) const;
    uint64_t Read64(const uint8_t* bytes) const;
    // Element index of an entry of an unsigned integer type (BYTE,
    // UNDEFINED, SHORT, LONG, IFD, LONG8, IFD8) whose data is in memory.
    bool EntryUnsigned(const cTiffEntry& entry, uint64_t index, uint64_t* value) const;
    // Element index of a RATIONAL or SRATIONAL entry; false for a
    // denominator of 0.
    bool EntryRational(const cTiffEntry& entry, uint64_t index, double* value) const;

    cFileIOTarget* stream;  // not owned
    uint64_t stream_size;
    uint8_t byte_order;  // 0 little-endian ("II"), 1 big-endian ("MM")
    uint8_t big;         // BigTIFF: 8-byte counts and offsets, 20-byte entries
    uint64_t first_ifd;
    uint64_t next_ifd;  // the link of the IFD walked last; 0 for none
    int32_t error_code;
    uint64_t error_position;
    _typebuf<uint8_t> scratch;

protected:
    // Sets the error (the first one of a walk stays); answers false.
    bool Fail(int32_t code, uint64_t position);
    // Reads count bytes at position of the stream.
    bool ReadAt(uint64_t position, void* buffer, uint32_t count);
    // The chain from the IFD at offset, in the byte order and form set
    // before: each IFD once, while OnIfd agrees; false when one fails.
    bool WalkChain(uint64_t offset);

private:
    bool Walked(uint64_t offset) const;

    _typebuf<uint64_t> visited;  // IFD offsets walked in this parse
    int32_t visited_count;
    int64_t entries_left;          // of this parse, against crafted IFD storms
    uint8_t value_field[8];        // an inline value's bytes
};

#endif
