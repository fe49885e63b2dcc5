#include "tools/package/make_installer.h"

#include <gtest/gtest.h>

#include <string>

#include "base/mem_io_target.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_data.h"
#include "tools/package/make_log.h"
#include "tools/shell/self_command_block.h"

namespace {

class MemoryLog : public cMakeLog {
public:
    std::string text;

protected:
    void Write(const char* data, uint32_t length) override { text.append(data, length); }
};

void set_string(cPackage& package, const wchar_t* key, const std::wstring& value)
{
    cPackedKey packed;
    packedkey_from_wstr(packed, key, -1);
    tree_get_or_add(package.strings, static_cast<cPackedKey&&>(packed))->Assign(value.c_str());
}

std::string made(const _typebuf<uint8_t>& image)
{
    return std::string(reinterpret_cast<const char*>(image.Data()), size_t(image.Count()));
}

// Synthetic PE32 and PE32+ images: the edits land where the image's own
// layout says, undo to the image, or the image is refused with its code.
TEST(MakeInstaller, EditsSyntheticImagesWhereTheirLayoutSaysOrRefusesThem)
{
    TempFolder folder(L"images");
    cPackage package;
    set_string(package, L"publisher", L"Maker");
    set_string(package, L"name", L"Product");
    package.version[0] = 6;
    for (const auto& record : read_test_records("pe_cases.txt")) {
        std::string bare = read_test_data(record[0].c_str());
        int32_t expected = std::stoi(record[1]);
        uint32_t place[7];
        for (int i = 0; i < 7; ++i)
            place[i] = uint32_t(std::stoul(record[2 + i]));
        const uint32_t block = place[0], certificate = place[3], checksum = place[4], version = place[5];
        MemoryLog log;
        _typebuf<uint8_t> image;
        int32_t code = make_installer_image(reinterpret_cast<const uint8_t*>(bare.data()), uint32_t(bare.size()), block,
                                            package, 4374, image, log);
        EXPECT_EQ(code, expected) << record[0] << "\n" << log.text;
        if (expected != MAKE_DONE) {
            EXPECT_NE(log.text.find("(e) "), std::string::npos) << record[0];
            continue;
        }
        std::string installer = made(image);
        ASSERT_EQ(installer.size(), bare.size());
        auto within = [](size_t at, uint32_t start, uint32_t length) { return at >= start && at < start + length; };
        for (size_t at = 0; at < bare.size(); ++at)
            if (installer[at] != bare[at]) {
                EXPECT_TRUE(within(at, certificate, 8) || within(at, checksum, 4) || within(at, version, place[6]) ||
                            within(at, block, command_block_size))
                    << record[0] << " byte " << at;
            }
        EXPECT_EQ(installer.substr(certificate, 8), std::string(8, '\0')) << record[0];
        EXPECT_EQ(installer.substr(checksum, 4), std::string(4, '\0')) << record[0];
        EXPECT_EQ(installer.substr(version + 6, 30), std::string("V\0S\0_\0V\0E\0R\0S\0I\0O\0N\0_\0I\0N\0F\0O\0", 30))
            << record[0];
        // The program's clean copy takes the installer back to the image.
        ASSERT_TRUE(folder.WriteFile(L"made.exe", installer));
        cMemIOTarget clean;
        _typebuf<uint8_t> copy;
        ASSERT_TRUE(write_clean_copy_of(image.Data() + block, folder.Path(L"made.exe").c_str(), &clean)) << record[0];
        ASSERT_TRUE(clean.CopyTo(copy));
        EXPECT_TRUE(made(copy) == bare) << record[0];
    }
}

TEST(MakeInstaller, StringsThatDoNotFitTheVersionResourceAreRefused)
{
    cPackage package;
    set_string(package, L"name", std::wstring(800, L'n'));
    std::string bare = read_test_data("pe_pe32.bin");
    MemoryLog log;
    _typebuf<uint8_t> image;
    EXPECT_EQ(make_installer_image(reinterpret_cast<const uint8_t*>(bare.data()), uint32_t(bare.size()), 512, package,
                                   1, image, log),
              MAKE_DOES_NOT_FIT);
    // FileDescription 40 + 2 x 801 + 2, ProductName 32 + 2 x 801 + 2, FileVersion
    // "0.0.0.1" 32 + 16, ProductVersion "0.0.0.0" 36 + 16: 3,380 bytes, and
    // the 220 around them less the 52 of the fixed file info.
    EXPECT_NE(log.text.find("(e) New expected version is too big (0xDDC)!"), std::string::npos) << log.text;
}

}  // namespace
