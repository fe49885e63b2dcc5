#include "pict/codecs/lzw.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "tests/support/test_data.h"

namespace {

_typebuf<uint8_t> buffer_of(const std::string& bytes)
{
    _typebuf<uint8_t> buffer(int32_t(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), buffer.Data());
    return buffer;
}

std::string string_of(const _typebuf<uint8_t>& buffer)
{
    return std::string(reinterpret_cast<const char*>(buffer.Data()), size_t(buffer.Count()));
}

}  // namespace

// Strips that libtiff compressed, from flat to noisy pictures whose tables
// fill and clear, decode to libtiff's own bytes; so does a stream that
// never clears its full table. One decoder serves them all, and output
// room below the strip's size gets just that many of its first bytes.
TEST(LzwDecompress, DecodesStripsAsLibtiffDoes)
{
    cLZWDecompress lzw;
    EXPECT_EQ(lzw.GetKind(), 5u);
    for (const auto& c : read_test_records("lzw/cases.txt")) {
        SCOPED_TRACE(c[0]);
        const std::string expected = read_test_data(("lzw/" + c[0] + ".raw").c_str());
        _typebuf<uint8_t> input = buffer_of(read_test_data(("lzw/" + c[0] + ".lzw").c_str()));
        _typebuf<uint8_t> output(int32_t(expected.size()));
        ASSERT_TRUE(lzw.Decompress(input, output));
        EXPECT_TRUE(string_of(output) == expected);

        _typebuf<uint8_t> shorter(int32_t(expected.size() / 3 + 1));
        ASSERT_TRUE(lzw.Decompress(input, shorter));
        EXPECT_TRUE(string_of(shorter) == expected.substr(0, expected.size() / 3 + 1));
        // Room past the data: the end code ends it.
        _typebuf<uint8_t> larger(int32_t(expected.size() + 100));
        ASSERT_TRUE(lzw.Decompress(input, larger));
        EXPECT_EQ(larger.Count(), int32_t(expected.size()));
        lzw.Reset();
    }
}

// Codes not defined yet fail; a stream cut short gives what it held; no
// room fails; random input never writes past the room given.
TEST(LzwDecompress, RefusesUndefinedCodesAndBoundsItsOutput)
{
    // 9-bit codes from the high bit: clear, then the code itself.
    auto codes = [](std::initializer_list<uint32_t> list) {
        std::string bytes;
        uint32_t value = 0;
        int bits = 0;
        for (uint32_t code : list) {
            value = value << 9 | code;
            bits += 9;
            while (bits >= 8) {
                bytes.push_back(char(value >> (bits - 8)));
                bits -= 8;
            }
        }
        if (bits)
            bytes.push_back(char(value << (8 - bits)));
        return bytes;
    };
    cLZWDecompress lzw;
    struct cCase {
        std::string input;
        bool ok;
        std::string output;
    } cases[] = {
        {codes({256, 65, 66, 258, 257}), true, "ABAB"},
        {codes({256, 65, 259}), false, ""},   // past the next free code
        {codes({256, 300}), false, ""},       // a string right after a clear
        {codes({256, 65, 258, 257}), true, "AAA"},  // the code being defined
        {codes({256, 65, 66}), true, "AB"},   // no end code
        {codes({65, 66, 257}), true, "AB"},   // no clear first
    };
    for (const cCase& c : cases) {
        _typebuf<uint8_t> input = buffer_of(c.input);
        _typebuf<uint8_t> output(64);
        EXPECT_EQ(lzw.Decompress(input, output), c.ok);
        EXPECT_EQ(string_of(output), c.output);
    }
    _typebuf<uint8_t> input = buffer_of(codes({256, 65, 257}));
    _typebuf<uint8_t> none;
    EXPECT_FALSE(lzw.Decompress(input, none));

    std::mt19937 random(5);
    std::string guard(64, '\x5A');
    for (int round = 0; round < 2000; ++round) {
        std::string noise(1 + random() % 3000, '\0');
        for (char& byte : noise)
            byte = char(random());
        if (round % 2)
            noise[0] = 0x80;  // a clear code first
        const uint32_t room = 1 + random() % 20000;
        std::string out(room + guard.size(), '\0');
        std::copy(guard.begin(), guard.end(), out.begin() + room);
        uint32_t produced = 0;
        lzw.DecompressTo(reinterpret_cast<const uint8_t*>(noise.data()), uint32_t(noise.size()),
                         reinterpret_cast<uint8_t*>(&out[0]), room, &produced);
        ASSERT_LE(produced, room);
        ASSERT_EQ(out.substr(room), guard);
    }
}
