#include "tools/package/package_format.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/buf_wrapper_io.h"
#include "base/file_io.h"
#include "base/mem_io_target.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_data.h"
#include "tools/package/package_queries.h"

namespace {

bool read_bytes(cPackage& package, std::string bytes)
{
    cBufWrapperIO stream(bytes.data(), int32_t(bytes.size()), false);
    return read_package(package, &stream);
}

std::string written(cPackage& package)
{
    cMemIOTarget stream;
    if (!write_package(&stream, package))
        return "<refused>";
    std::string bytes(size_t(stream.GetSize()), '\0');
    stream.Seek(0);
    stream.Read(bytes.data(), uint32_t(bytes.size()));
    return bytes;
}

std::string member_content(const cPackage& package, uint32_t index)
{
    cFileIOTarget* stream = open_package_member(package, index);
    if (!stream)
        return "<none>";
    std::string bytes(size_t(package_member_size(package, index)), '\0');
    bool whole = stream->ReadExact(bytes.data(), uint32_t(bytes.size()));
    char extra;
    whole = whole && stream->Read(&extra, 1) == 0;
    delete stream;
    return whole ? bytes : "<short>";
}

std::string hex(const uint8_t* bytes, size_t count)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (size_t i = 0; i < count; ++i)
        text += {digits[bytes[i] >> 4], digits[bytes[i] & 15]};
    return text;
}

// Packages written by the tests' own encoder from the format: each is
// taken or refused as its line says.
TEST(PackageFormat, ReaderTakesWhatTheFormatAllowsAndRefusesTheRest)
{
    for (const auto& record : read_test_records("package_cases.txt")) {
        cPackage package;
        EXPECT_EQ(read_bytes(package, read_test_data(record[0].c_str())), record[1] == "1") << record[0];
    }
}

TEST(PackageFormat, AReadPackageGivesItsStringsRecordsAndMemberData)
{
    cPackage package;
    ASSERT_TRUE(read_bytes(package, read_test_data("pkg_good.bin")));
    EXPECT_STREQ(package.GetString(L"codename"), L"demo");
    EXPECT_STREQ(package.GetString(L"hello"), L"Hello");
    EXPECT_TRUE(package.SetLanguage(2));
    EXPECT_FALSE(package.SetLanguage(3));
    EXPECT_STREQ(package.GetString(L"hello"), L"Hallo");
    EXPECT_EQ(package.version[1], 9u);
    EXPECT_STREQ(package.icon_path.Text(), L"demo.ico");
    EXPECT_STREQ(package.replaced.first->element.code_name.Text(), L"older");
    EXPECT_EQ(package.settings.first->element.value[1], 0x12);
    EXPECT_TRUE(package.runs.first->element.ticked);
    for (const auto& record : read_test_records("good_members.txt")) {
        uint32_t index = uint32_t(std::stoul(record[0]));
        const cPackageMember* member = package_member(package, index);
        ASSERT_NE(member, nullptr) << index;
        EXPECT_EQ(package_member_size(package, index), std::stoull(record[1])) << index;
        cFileIOTarget* stream = open_package_member(package, index);
        uint8_t digest[32];
        ASSERT_TRUE(sha256_of_stream(stream, digest));
        delete stream;
        EXPECT_EQ(hex(digest, 32), record[2]) << index;
        EXPECT_EQ(hex(member->digest, 32), record[2]) << index;
    }
    EXPECT_EQ(open_package_member(package, 6), nullptr);
}

TEST(PackageFormat, EveryTruncationIsRefused)
{
    std::string whole = read_test_data("pkg_no_members.bin");
    cPackage package;
    ASSERT_TRUE(read_bytes(package, whole));
    for (size_t length = 0; length < whole.size(); ++length)
        EXPECT_FALSE(read_bytes(package, whole.substr(0, length))) << length;
}

// A flipped bit is refused, or changes nothing the package says (a bit of
// zlib's padding, the version byte 1 turned 0).
TEST(PackageFormat, BitFlipsAreRefusedOrChangeNothing)
{
    std::string whole = read_test_data("pkg_good.bin");
    cPackage original;
    ASSERT_TRUE(read_bytes(original, whole));
    std::string expected = written(original);
    std::mt19937 random(16);
    for (int flip = 0; flip < 300; ++flip) {
        std::string damaged = whole;
        size_t bit = random() % (damaged.size() * 8);
        damaged[bit / 8] = char(damaged[bit / 8] ^ (1 << (bit % 8)));
        cPackage package;
        if (read_bytes(package, damaged)) {
            EXPECT_EQ(written(package), expected) << bit;
        }
    }
}

// An empty file cannot be a member. A block past the 1 MiB pieces that are
// deflated on several threads is written alike every time and reads back
// (members around the 4,096-byte pieces are checked from outside by the
// make round trip).
TEST(PackageFormat, BigBlocksAreWrittenAlikeAndReadBack)
{
    TempFolder folder(L"members");
    std::mt19937 random(4096);
    std::string bytes;
    for (size_t i = 0; i < 3000000; ++i)
        bytes += char(i % 7 == 0 ? random() : 'a' + i % 13);
    ASSERT_TRUE(folder.WriteFile(L"empty", "") && folder.WriteFile(L"big", bytes));
    cFileIO empty, big;
    ASSERT_TRUE(empty.Open(folder.Path(L"empty").c_str(), FILE_MODE_READ));
    ASSERT_TRUE(big.Open(folder.Path(L"big").c_str(), FILE_MODE_READ));
    cPackage package;
    EXPECT_EQ(add_package_member(&empty, package), -1);
    ASSERT_EQ(add_package_member(&big, package), 0);
    cPackageFileEntry* entry = list_append(package.files);
    entry->member_index = 0;
    entry->folder_key.Assign(L"pgm");
    entry->path.Assign(L"dir/big");
    entry->for_32bit = true;
    std::string once = written(package);
    EXPECT_TRUE(written(package) == once);
    cPackage again;
    ASSERT_TRUE(read_bytes(again, once));
    EXPECT_TRUE(member_content(again, 0) == bytes);
}

// What the reader would refuse, the writer refuses to write.
TEST(PackageFormat, WriterRefusesWhatTheReaderWouldRefuse)
{
    const std::vector<std::pair<const char*, void (*)(cPackage&)>> faults = {
        {"empty setting value", [](cPackage& p) { list_append(p.settings)->name.Assign("n"); }},
        {"empty setting name", [](cPackage& p) { list_append(p.settings)->value.Resize(1); }},
        {"empty replaced name", [](cPackage& p) { list_append(p.replaced); }},
        {"no such member", [](cPackage& p) { p.files.first->element.member_index = 1; }},
        {"path with ..", [](cPackage& p) { p.files.first->element.path.Assign(L"a/../b"); }},
        {"empty member", [](cPackage& p) { p.members.root->value.Clear(); }},
        {"digit 9", [](cPackage& p) { p.files.first->element.access[1] = 9; }},
        {"language 11", [](cPackage& p) { *list_append(p.files.first->element.languages) = 11; }},
        {"text of 65,536 bytes", [](cPackage& p) { p.support_url.Assign(std::wstring(65536, L'x').c_str()); }},
        {"install folder string", [](cPackage& p) { set_pgm_folder(p.strings, L"C:/Product"); }},
    };
    for (const auto& [name, fault] : faults) {
        cPackage package;
        ASSERT_TRUE(read_bytes(package, read_test_data("pkg_stored_member.bin")));
        ASSERT_NE(written(package), "<refused>");
        fault(package);
        EXPECT_EQ(written(package), "<refused>") << name;
    }
}

}  // namespace
