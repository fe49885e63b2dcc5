#include "pict/codecs/mq_decoder.h"

namespace {

// The probability estimation table: for each state the LPS probability
// estimate Qe, the next state after an MPS and after an LPS, and whether an
// LPS exchanges the sense of the more probable symbol.
struct cMQState {
    uint16_t qe;
    uint8_t next_mps;
    uint8_t next_lps;
    uint8_t exchange;
};

const cMQState states[47] = {
    {0x5601, 1, 1, 1},   {0x3401, 2, 6, 0},   {0x1801, 3, 9, 0},   {0x0AC1, 4, 12, 0},  {0x0521, 5, 29, 0},
    {0x0221, 38, 33, 0}, {0x5601, 7, 6, 1},   {0x5401, 8, 14, 0},  {0x4801, 9, 14, 0},  {0x3801, 10, 14, 0},
    {0x3001, 11, 17, 0}, {0x2401, 12, 18, 0}, {0x1C01, 13, 20, 0}, {0x1601, 29, 21, 0}, {0x5601, 15, 14, 1},
    {0x5401, 16, 14, 0}, {0x5101, 17, 15, 0}, {0x4801, 18, 16, 0}, {0x3801, 19, 17, 0}, {0x3401, 20, 18, 0},
    {0x3001, 21, 19, 0}, {0x2801, 22, 19, 0}, {0x2401, 23, 20, 0}, {0x2201, 24, 21, 0}, {0x1C01, 25, 22, 0},
    {0x1801, 26, 23, 0}, {0x1601, 27, 24, 0}, {0x1401, 28, 25, 0}, {0x1201, 29, 26, 0}, {0x1101, 30, 27, 0},
    {0x0AC1, 31, 28, 0}, {0x09C1, 32, 29, 0}, {0x08A1, 33, 30, 0}, {0x0521, 34, 31, 0}, {0x0441, 35, 32, 0},
    {0x02A1, 36, 33, 0}, {0x0221, 37, 34, 0}, {0x0141, 38, 35, 0}, {0x0111, 39, 36, 0}, {0x0085, 40, 37, 0},
    {0x0049, 41, 38, 0}, {0x0025, 42, 39, 0}, {0x0015, 43, 40, 0}, {0x0009, 44, 41, 0}, {0x0005, 45, 42, 0},
    {0x0001, 45, 43, 0}, {0x5601, 46, 46, 0},
};

const uint8_t mps_bit = 0x80;
const uint8_t state_bits = 0x3F;

// The decision, the LPS when lps is set, else the MPS; the context moves on
// to the state that follows it.
int decide(cMQDecoder::Context& context, bool lps)
{
    const cMQState& state = states[context & state_bits];
    const uint8_t mps = context & mps_bit;
    if (!lps) {
        context = uint8_t(mps | state.next_mps);
        return mps >> 7;
    }
    context = uint8_t((state.exchange ? mps ^ mps_bit : mps) | state.next_lps);
    return (mps >> 7) ^ 1;
}

}  // namespace

cMQDecoder::cMQDecoder() : data(nullptr), length(0), position(0), a(0), c(0), ct(0), bytes_past_end(0)
{
}

// One byte into the code register. A 0xFF byte followed by one above 0x8F
// is a marker: the decoder then feeds 1 bits without moving on.
void cMQDecoder::ByteIn()
{
    if (ByteAt(position) == 0xFF) {
        if (ByteAt(position + 1) > 0x8F) {
            c += 0xFF00;
            ct = 8;
            ++bytes_past_end;
        } else {
            ++position;
            c += uint32_t(ByteAt(position)) << 9;
            ct = 7;
        }
    } else {
        ++position;
        c += uint32_t(ByteAt(position)) << 8;
        ct = 8;
        bytes_past_end += position >= length;
    }
}

void cMQDecoder::Start(const uint8_t* bytes, uint32_t count)
{
    data = bytes;
    length = count;
    position = 0;
    bytes_past_end = count == 0;
    c = uint32_t(ByteAt(0)) << 16;
    ByteIn();
    c <<= 7;
    ct -= 7;
    a = 0x8000;
}

void cMQDecoder::Renormalise()
{
    do {
        if (ct == 0)
            ByteIn();
        a <<= 1;
        c <<= 1;
        --ct;
    } while ((a & 0x8000) == 0);
}

int cMQDecoder::Decode(Context& context)
{
    const uint32_t qe = states[context & state_bits].qe;
    int decision;
    a -= qe;
    if ((c >> 16) < qe) {
        // The lower interval: the LPS unless the exchange makes it the MPS.
        decision = decide(context, a >= qe);
        a = qe;
    } else {
        c -= qe << 16;
        if (a & 0x8000)
            return context >> 7;
        decision = decide(context, a < qe);
    }
    Renormalise();
    return decision;
}
