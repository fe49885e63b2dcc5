#ifndef BASE_CODEPAGE_TABLES_CODEPAGE_TABLES_H
#define BASE_CODEPAGE_TABLES_CODEPAGE_TABLES_H

#include <stdint.h>

// The generated conversion and case tables (generate.py beside this header
// writes their sources). Units are UTF-16.

// Single-byte code pages: table i gives the unit of every byte of code page
// codepage_sb_pages[i].
const int codepage_sb_table_count = 30;
extern const int32_t codepage_sb_pages[codepage_sb_table_count];
extern const wchar_t codepage_sb_units[codepage_sb_table_count][256];

// A double-byte code page. lead[b] is the unit of the single byte b, or
// dbcs_lead_byte for a lead byte; rows[b] holds the units of the pairs of
// lead byte b for trail bytes 0x40-0xFF, or is null when none is mapped.
// Pairs without a mapping give "?".
const wchar_t dbcs_lead_byte = 0xFFFF;
const int dbcs_first_trail = 0x40;
const int dbcs_row_length = 192;
struct cDbcsTable {
    const wchar_t* lead;
    const wchar_t* const* rows;
};
extern const cDbcsTable dbcs_table_932;
extern const cDbcsTable dbcs_table_936;
extern const cDbcsTable dbcs_table_949;
extern const cDbcsTable dbcs_table_950;

// A 94 x 94 character set: cells[(first - 0x21) * 94 + (second - 0x21)] for
// the 7-bit bytes 0x21-0x7E, up to count cells; charset94_no_mapping marks
// a cell without a character.
const wchar_t charset94_no_mapping = 0xFFFD;
struct cCharset94 {
    const wchar_t* cells;
    int32_t count;
};
extern const cCharset94 charset94_gb2312;
extern const cCharset94 charset94_jis0208;
extern const cCharset94 charset94_jis0212;
extern const cCharset94 charset94_cns_plane1;
extern const cCharset94 charset94_cns_plane2;

// Simple one-to-one case pairs, sorted by "from". case_pairs_upper is the
// exact inverse of case_pairs_lower.
struct cCasePair {
    uint16_t from;
    uint16_t to;
};
const int case_pair_count = 973;
extern const cCasePair case_pairs_lower[case_pair_count];
extern const cCasePair case_pairs_upper[case_pair_count];

// The upper case of each unit that Windows changes when it compares file
// names, sorted by "from": the simple mappings that go both ways, of a
// recent Unicode version.
const int name_upper_pair_count = 1163;
extern const cCasePair name_upper_pairs[name_upper_pair_count];

#endif
