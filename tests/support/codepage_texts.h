#ifndef TESTS_SUPPORT_CODEPAGE_TEXTS_H
#define TESTS_SUPPORT_CODEPAGE_TEXTS_H

#include <gtest/gtest.h>

#include <stdint.h>

#include <string>
#include <vector>

#include "base/utf8.h"
#include "tests/support/test_data.h"

// The decoders of the code-page families take (bytes, length, out, capacity,
// codepage) and answer the units written; their counting twins take (bytes,
// length, codepage).
typedef int32_t (*tCodepageDecoder)(const char* bytes, int32_t length, wchar_t* out, int32_t capacity,
                                    int32_t codepage);
typedef int32_t (*tCodepageCounter)(const char* bytes, int32_t length, int32_t codepage);

// UTF-8's decoder and count in that form (no code page to name).
inline int32_t utf8_decode_as_codepage(const char* bytes, int32_t length, wchar_t* out, int32_t capacity, int32_t)
{
    return utf8_decode(length, bytes, out, capacity);
}

inline int32_t utf8_count_as_codepage(const char* bytes, int32_t length, int32_t)
{
    return utf8_char_count(bytes, length);
}

// The units the decoder writes of the counted bytes into an output of the
// capacity: its answer's worth.
inline std::wstring decoded(tCodepageDecoder decoder, const std::string& bytes, int32_t codepage,
                            int32_t capacity = 256)
{
    std::wstring out(size_t(capacity), L'#');
    int32_t n = decoder(bytes.data(), int32_t(bytes.size()), &out[0], capacity, codepage);
    out.resize(size_t(n));
    return out;
}

// The "text CODEPAGE BYTES UNITS" lines of a generated expectation file:
// sample texts and what they decode to.
struct cExpectedText {
    int32_t codepage;
    std::string bytes;
    std::wstring units;
};

inline std::vector<cExpectedText> read_expected_texts(const char* name)
{
    std::vector<cExpectedText> texts;
    for (const std::vector<std::string>& line : read_test_records(name)) {
        if (line[0] == "text")
            texts.push_back({std::stoi(line[1]), bytes_from_hex(line[2]), units_from_hex(line[3])});
    }
    return texts;
}

// Each sample text of the file decodes, counted and NUL-terminated, to the
// units the independent converter gave, and the count agrees; a decoder
// whose answer counts the NUL it wrote says so.
inline void expect_sample_texts(const char* name, tCodepageDecoder decoder, tCodepageCounter counter,
                                bool answer_counts_nul)
{
    std::vector<cExpectedText> texts = read_expected_texts(name);
    EXPECT_EQ(texts.size(), 4u);
    for (const cExpectedText& text : texts) {
        SCOPED_TRACE(text.codepage);
        int32_t n = int32_t(text.units.size());
        EXPECT_EQ(decoded(decoder, text.bytes, text.codepage), text.units);
        EXPECT_EQ(counter(text.bytes.data(), int32_t(text.bytes.size()), text.codepage), n);
        EXPECT_EQ(counter(text.bytes.c_str(), -1, text.codepage), n);
        std::wstring out(text.units.size() + 4, L'#');
        EXPECT_EQ(decoder(text.bytes.c_str(), -1, &out[0], n + 4, text.codepage), n + answer_counts_nul);
        EXPECT_EQ(out.substr(0, text.units.size() + 1), text.units + L'\0');
    }
}

#endif
