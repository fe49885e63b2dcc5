#ifndef PICT_CODECS_MQ_DECODER_H
#define PICT_CODECS_MQ_DECODER_H

#include <stdint.h>

// The adaptive binary arithmetic decoder of bi-level image coding (the MQ
// coder): decisions are decoded in contexts, each of which keeps its own
// probability state and more probable symbol. Reads only inside the data it
// is given; past its end it reads 0xFF bytes, as the coder's marker rules
// mean, and counts them.
class cMQDecoder {
public:
    // A context's state: bits 0-5 the probability state, bit 7 the more
    // probable symbol. Contexts start at 0.
    typedef uint8_t Context;

    cMQDecoder();
    void Start(const uint8_t* data, uint32_t length);
    int Decode(Context& context);
    // True once the decoder has read well past its data's end, which a
    // coder's flush never makes it do (a few bytes at the most): data cut
    // short or not arithmetic-coded at all.
    bool Exhausted() const { return bytes_past_end > 8; }

private:
    uint8_t ByteAt(uint32_t at) const { return at < length ? data[at] : 0xFF; }
    void ByteIn();
    void Renormalise();

    const uint8_t* data;
    uint32_t length;
    uint32_t position;  // of the byte last read
    uint32_t a;
    uint32_t c;
    int32_t ct;
    uint32_t bytes_past_end;
};

#endif
