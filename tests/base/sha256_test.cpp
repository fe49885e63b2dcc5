#include "base/sha256.h"
#include "tests/support/test_data.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string hex(const uint8_t (&digest)[32])
{
    return hex_of(std::string(digest, digest + 32));
}

std::string digest_of(const char* data, int32_t length)
{
    uint8_t out[32];
    sha256_digest(out, data, length);
    return hex(out);
}

std::string digest_of(const std::string& data)
{
    return digest_of(data.data(), int32_t(data.size()));
}

// Whole blocks through the given routine; null: the one sha256_init picks.
std::string digest_in_pieces(const char* data, const std::vector<size_t>& pieces, cSha256Blocks compress = nullptr)
{
    cSha256Context context;
    if (compress)
        sha256_init_with(context, compress);
    else
        sha256_init(context);
    for (size_t n : pieces) {
        sha256_update(context, data, n);
        data += n;
    }
    uint8_t out[32];
    sha256_final(context, out);
    return hex(out);
}

}  // namespace

TEST(Sha256, StandardVectors)
{
    struct Case {
        std::string message;
        const char* digest;
    };
    const Case cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu",
         "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(digest_of(c.message), c.digest) << c.message.size() << " bytes";
}

TEST(Sha256, LengthMinusOneHashesUpToTheNulAndNullOrOtherNegativesNothing)
{
    EXPECT_EQ(digest_of("abc", -1), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    const char* empty = "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";
    EXPECT_EQ(digest_of(nullptr, 10), empty);
    EXPECT_EQ(digest_of(nullptr, -1), empty);
    EXPECT_EQ(digest_of("abc", -2), empty);
}

TEST(Sha256, PaddingTakesOneBlockUpTo55BytesAndTwoFrom56)
{
    // Bit count and padding land in one or two blocks around this border.
    EXPECT_EQ(digest_of(std::string(55, 'a')), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318");
    EXPECT_EQ(digest_of(std::string(56, 'a')), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a");
    EXPECT_EQ(digest_of(std::string(64, 'a')), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb");
}

TEST(Sha256, PiecesGiveTheSameDigestAsOneCall)
{
    std::string data(129, 'x');
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = char(i * 7);
    EXPECT_EQ(digest_in_pieces(data.data(), {1, 63, 65}), digest_of(data));
    EXPECT_EQ(digest_in_pieces(data.data(), {0, 64, 0, 65}), digest_of(data));
}

// Every length up to four blocks and each side of larger block edges, whole
// and in random pieces, through the portable routine and the processor's
// SHA instructions (where it has them) alike.
TEST(Sha256, RandomBuffersInRandomPiecesMatchHashlibThroughEitherRoutine)
{
    std::string input = read_test_data("digest_input.bin");
    ASSERT_EQ(input.size(), 1u << 18);
    auto records = read_test_records("sha256_vectors.txt");
    std::vector<std::pair<const char*, cSha256Blocks>> routines = {{"portable", sha256_blocks_portable}};
    if (sha256_has_sha_instructions())
        routines.push_back({"SHA instructions", sha256_blocks_sha_instructions});
    else
        std::printf("This processor lacks the SHA instructions: only the portable routine is tested.\n");
    for (const auto& r : records) {
        size_t offset = std::stoul(r[0]), length = std::stoul(r[1]);
        std::vector<size_t> pieces;
        std::istringstream split(r[2]);
        for (std::string n; std::getline(split, n, ',');)
            pieces.push_back(std::stoul(n));
        for (const auto& routine : routines) {
            EXPECT_EQ(digest_in_pieces(input.data() + offset, {length}, routine.second), r[3])
                << routine.first << " " << r[0] << " " << r[1];
            EXPECT_EQ(digest_in_pieces(input.data() + offset, pieces, routine.second), r[3])
                << routine.first << " " << r[0] << " " << r[1];
        }
        EXPECT_EQ(digest_of(input.substr(offset, length)), r[3]) << r[0] << " " << r[1];
    }
    EXPECT_GT(records.size(), 300u);
}
