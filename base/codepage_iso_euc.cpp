#include "base/codepage_iso_euc.h"

#include "base/codepage_decode.h"
#include "base/codepage_tables/codepage_tables.h"

namespace {

const int escape = 0x1B;
const int shift_out = 0x0E;
const int shift_in = 0x0F;

// The user-defined rows 0xF5-0xFE of EUC-JP map onto private-use units.
const int euc_jp_private_lead = 0xF5;
const wchar_t euc_jp_private_jis0208 = 0xE000;
const wchar_t euc_jp_private_jis0212 = 0xE3AC;

// What one step of a decoder did: produced a unit, only moved on (an escape
// sequence, a shift, a sequence cut off by a NUL), or ended the decoding.
enum class eStep { unit, moved, stop };

// The character at the 7-bit bytes of a 94 x 94 set, or charset94_no_mapping.
wchar_t charset94_unit(const cCharset94& set, int first, int second)
{
    if (first < 0x21 || first > 0x7E || second < 0x21 || second > 0x7E)
        return charset94_no_mapping;
    int32_t cell = (first - 0x21) * 94 + (second - 0x21);
    return cell < set.count ? set.cells[cell] : charset94_no_mapping;
}

// JIS X 0201: the Roman half below 0x80, half-width katakana at 0xA1-0xDF.
wchar_t jis_x0201_unit(int byte)
{
    if (byte == 0x5C)
        return 0x00A5;
    if (byte == 0x7E)
        return 0x203E;
    if (byte < 0x80)
        return wchar_t(byte);
    if (byte >= 0xA1 && byte <= 0xDF)
        return wchar_t(0xFF61 + (byte - 0xA1));
    return charset94_no_mapping;
}

bool is_euc_byte(int byte)
{
    return byte >= 0xA1 && byte <= 0xFE;
}

// A byte of a 7-bit pair; a NUL is never part of one.
bool is_seven_bit(int byte)
{
    return byte > 0 && byte < 0x80;
}

wchar_t euc_jp_private_unit(wchar_t base, int first, int second)
{
    return wchar_t(base + (first - euc_jp_private_lead) * 94 + (second - 0xA1));
}

// A sequence whose byte at offset does not fit: a NUL there cuts it off and
// ends the text; anything else ends the decoding.
eStep cut_off(cDecodeInput& in, int32_t offset)
{
    return in.DropBeforeNul(offset) ? eStep::moved : eStep::stop;
}

// A sequence of used bytes that names unit; a cell without a character ends
// the decoding.
eStep take(cDecodeInput& in, int32_t used, wchar_t unit, wchar_t* result)
{
    if (unit == charset94_no_mapping)
        return eStep::stop;
    *result = unit;
    in.Skip(used);
    return eStep::unit;
}

class cEucCnDecoder {
public:
    eStep Step(cDecodeInput& in, wchar_t* unit)
    {
        int lead = in.Peek(0);
        if (lead < 0x80)
            return take(in, 1, wchar_t(lead), unit);
        if (!is_euc_byte(lead))
            return eStep::stop;
        int trail = in.Peek(1);
        if (!is_euc_byte(trail))
            return cut_off(in, 1);
        return take(in, 2, charset94_unit(charset94_gb2312, lead - 0x80, trail - 0x80), unit);
    }
};

class cEucJpDecoder {
public:
    eStep Step(cDecodeInput& in, wchar_t* unit)
    {
        int lead = in.Peek(0);
        if (lead < 0x80)
            return take(in, 1, wchar_t(lead), unit);
        if (lead == 0x8E)
            return Katakana(in, unit);
        if (lead == 0x8F)
            return Jis0212(in, unit);
        if (!is_euc_byte(lead))
            return eStep::stop;
        int trail = in.Peek(1);
        if (!is_euc_byte(trail))
            return cut_off(in, 1);
        if (lead >= euc_jp_private_lead)
            return take(in, 2, euc_jp_private_unit(euc_jp_private_jis0208, lead, trail), unit);
        return take(in, 2, charset94_unit(charset94_jis0208, lead - 0x80, trail - 0x80), unit);
    }

private:
    eStep Katakana(cDecodeInput& in, wchar_t* unit)
    {
        int trail = in.Peek(1);
        if (trail < 0xA1 || trail > 0xDF)
            return cut_off(in, 1);
        return take(in, 2, jis_x0201_unit(trail), unit);
    }

    eStep Jis0212(cDecodeInput& in, wchar_t* unit)
    {
        int first = in.Peek(1);
        if (!is_euc_byte(first))
            return cut_off(in, 1);
        int second = in.Peek(2);
        if (!is_euc_byte(second))
            return cut_off(in, 2);
        if (first >= euc_jp_private_lead)
            return take(in, 3, euc_jp_private_unit(euc_jp_private_jis0212, first, second), unit);
        return take(in, 3, charset94_unit(charset94_jis0212, first - 0x80, second - 0x80), unit);
    }
};

class cIso2022JpDecoder {
public:
    eStep Step(cDecodeInput& in, wchar_t* unit)
    {
        int byte = in.Peek(0);
        if (byte == escape)
            return Designate(in);
        if (byte >= 0x80)
            return eStep::stop;
        switch (set) {
        case eSet::ascii:
            return take(in, 1, wchar_t(byte), unit);
        case eSet::roman:
            return take(in, 1, jis_x0201_unit(byte), unit);
        case eSet::katakana:
            if (byte < 0x21 || byte > 0x5F)
                return eStep::stop;
            return take(in, 1, jis_x0201_unit(byte | 0x80), unit);
        case eSet::jis0208:
        case eSet::jis0212:
            break;
        }
        int second = in.Peek(1);
        if (!is_seven_bit(second))
            return cut_off(in, 1);
        const cCharset94& charset = set == eSet::jis0208 ? charset94_jis0208 : charset94_jis0212;
        return take(in, 2, charset94_unit(charset, byte, second), unit);
    }

private:
    enum class eSet { ascii, roman, katakana, jis0208, jis0212 };
    eSet set = eSet::ascii;

    // ESC ( B, ESC ( J, ESC ( I, ESC $ @, ESC $ B and ESC $ ( D.
    eStep Designate(cDecodeInput& in)
    {
        int intermediate = in.Peek(1);
        if (intermediate != '(' && intermediate != '$')
            return cut_off(in, 1);
        int final_byte = in.Peek(2);
        int32_t used = 3;
        if (intermediate == '(' && final_byte == 'B')
            set = eSet::ascii;
        else if (intermediate == '(' && final_byte == 'J')
            set = eSet::roman;
        else if (intermediate == '(' && final_byte == 'I')
            set = eSet::katakana;
        else if (intermediate == '$' && (final_byte == '@' || final_byte == 'B'))
            set = eSet::jis0208;
        else if (intermediate == '$' && final_byte == '(') {
            if (in.Peek(3) != 'D')
                return cut_off(in, 3);
            set = eSet::jis0212;
            used = 4;
        } else {
            return cut_off(in, 2);
        }
        in.Skip(used);
        return eStep::moved;
    }
};

class cIso2022CnDecoder {
public:
    eStep Step(cDecodeInput& in, wchar_t* unit)
    {
        int byte = in.Peek(0);
        if (byte == escape)
            return Escape(in, unit);
        if (byte == shift_out || byte == shift_in) {
            if (byte == shift_out && !g1)
                return eStep::stop;
            shifted = byte == shift_out;
            in.Skip(1);
            return eStep::moved;
        }
        if (byte >= 0x80)
            return eStep::stop;
        if (!shifted)
            return take(in, 1, wchar_t(byte), unit);
        int second = in.Peek(1);
        if (!is_seven_bit(second))
            return cut_off(in, 1);
        return take(in, 2, charset94_unit(*g1, byte, second), unit);
    }

private:
    const cCharset94* g1 = nullptr;  // chosen by ESC $ ) A or ESC $ ) G
    bool g2 = false;                 // CNS plane 2 chosen by ESC $ * H
    bool shifted = false;

    // ESC $ ) A, ESC $ ) G, ESC $ * H, and ESC N with the two bytes of one
    // plane 2 character.
    eStep Escape(cDecodeInput& in, wchar_t* unit)
    {
        int second = in.Peek(1);
        if (second == 'N') {
            if (!g2)
                return eStep::stop;
            int first = in.Peek(2);
            if (!is_seven_bit(first))
                return cut_off(in, 2);
            int last = in.Peek(3);
            if (!is_seven_bit(last))
                return cut_off(in, 3);
            return take(in, 4, charset94_unit(charset94_cns_plane2, first, last), unit);
        }
        if (second != '$')
            return cut_off(in, 1);
        int intermediate = in.Peek(2);
        if (intermediate != ')' && intermediate != '*')
            return cut_off(in, 2);
        int final_byte = in.Peek(3);
        if (intermediate == ')' && final_byte == 'A')
            g1 = &charset94_gb2312;
        else if (intermediate == ')' && final_byte == 'G')
            g1 = &charset94_cns_plane1;
        else if (intermediate == '*' && final_byte == 'H')
            g2 = true;
        else
            return cut_off(in, 3);
        in.Skip(4);
        return eStep::moved;
    }
};

template <class Decoder>
void run(cDecodeInput& in, cDecodeOutput& out)
{
    Decoder decoder;
    while (!in.AtEnd() && !out.IsFull()) {
        if (in.Peek(0) == 0) {
            out.Terminate();
            return;
        }
        wchar_t unit;
        eStep step = decoder.Step(in, &unit);
        if (step == eStep::stop)
            return;
        if (step == eStep::unit)
            out.Put(unit);
    }
}

template <class Decoder>
int32_t count_characters(const char* bytes, int32_t length)
{
    if (!bytes || length == 0)
        return 0;
    cDecodeInput in(bytes, length);
    cDecodeOutput counter(nullptr, 0);
    run<Decoder>(in, counter);
    return counter.Written();
}

template <class Decoder>
int32_t decode_units(const char* bytes, int32_t length, wchar_t* out, int32_t capacity)
{
    if (!bytes || !out || length == 0 || capacity <= 0)
        return 0;
    cDecodeInput in(bytes, length);
    cDecodeOutput units(out, capacity);
    run<Decoder>(in, units);
    return units.Written() + (units.Terminated() ? 1 : 0);
}

}  // namespace

int32_t euc_cn_char_count(const char* bytes, int32_t length)
{
    return count_characters<cEucCnDecoder>(bytes, length);
}

int32_t euc_cn_decode(const char* bytes, int32_t length, wchar_t* out, int32_t capacity)
{
    return decode_units<cEucCnDecoder>(bytes, length, out, capacity);
}

int32_t euc_jp_char_count(const char* bytes, int32_t length)
{
    return count_characters<cEucJpDecoder>(bytes, length);
}

int32_t euc_jp_decode(const char* bytes, int32_t length, wchar_t* out, int32_t capacity)
{
    return decode_units<cEucJpDecoder>(bytes, length, out, capacity);
}

int32_t iso2022_jp_char_count(const char* bytes, int32_t length)
{
    return count_characters<cIso2022JpDecoder>(bytes, length);
}

int32_t iso2022_jp_decode(const char* bytes, int32_t length, wchar_t* out, int32_t capacity)
{
    return decode_units<cIso2022JpDecoder>(bytes, length, out, capacity);
}

int32_t iso2022_cn_char_count(const char* bytes, int32_t length)
{
    return count_characters<cIso2022CnDecoder>(bytes, length);
}

int32_t iso2022_cn_decode(const char* bytes, int32_t length, wchar_t* out, int32_t capacity)
{
    return decode_units<cIso2022CnDecoder>(bytes, length, out, capacity);
}

int32_t iso_euc_char_count(const char* bytes, int32_t length, int32_t codepage)
{
    switch (codepage) {
    case 50221:
        return iso2022_jp_char_count(bytes, length);
    case 50227:
        return iso2022_cn_char_count(bytes, length);
    case 51932:
        return euc_jp_char_count(bytes, length);
    case 51936:
        return euc_cn_char_count(bytes, length);
    default:
        return 0;
    }
}

int32_t iso_euc_decode(const char* bytes, int32_t length, wchar_t* out, int32_t capacity,
                       int32_t codepage)
{
    switch (codepage) {
    case 50221:
        return iso2022_jp_decode(bytes, length, out, capacity);
    case 50227:
        return iso2022_cn_decode(bytes, length, out, capacity);
    case 51932:
        return euc_jp_decode(bytes, length, out, capacity);
    case 51936:
        return euc_cn_decode(bytes, length, out, capacity);
    default:
        return 0;
    }
}
