// The self-command block: clean copies of a bare manager and of an installer
// made from it by an independent script, refused record tables, the package
// a block names, and a real installer finding its own block however it is
// started.
#include <gtest/gtest.h>
#include <windows.h>

#include <string.h>

#include <string>
#include <vector>

#include "base/buffers/typebuf.h"
#include "base/mem_io_target.h"
#include "tests/support/pelmarodesk_exe.h"
#include "tests/support/process_windows.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_data.h"
#include "tools/shell/self_command_block.h"

namespace {

std::wstring filled_installer()
{
    std::string path = test_data_path("filled_installer.exe");
    return std::wstring(path.begin(), path.end());
}

// What a clean copy of program_path wrote with that block, or "<refused>".
std::string clean_copy(const uint8_t* block, const std::wstring& program_path)
{
    cMemIOTarget output;
    if (!write_clean_copy_of(block, with_separator(program_path, L'/').c_str(), &output))
        return output.GetSize() ? "<refused after writing>" : "<refused>";
    _typebuf<uint8_t> bytes;
    output.CopyTo(bytes);
    return std::string(reinterpret_cast<const char*>(bytes.Data()), size_t(bytes.Count()));
}

// The maker's layout: a block written field by field at its offsets, at
// the start of a buffer of capacity bytes (records may run past the block
// into the rest, as they would into the file around a block).
struct Block {
    explicit Block(uint8_t kind = 1, size_t capacity = command_block_size) : bytes(capacity, 0) { bytes[0] = kind; }
    Block& Header(uint32_t package_offset, uint32_t block_offset, uint32_t manager_length)
    {
        Put(256, package_offset);
        Put(260, block_offset);
        Put(264, manager_length);
        return *this;
    }
    Block& Record(uint32_t offset, uint16_t length, uint8_t fill = 0xEE)
    {
        Put(268 + used, offset);
        memcpy(&bytes[272 + used], &length, 2);
        if (268 + used + 6 + length <= bytes.size())
            memset(&bytes[274 + used], fill, length);
        used += 6 + length;
        return *this;
    }
    Block& End() { return Record(0xFFFFFFFF, 0); }
    void Put(uint32_t at, uint32_t value) { memcpy(&bytes[at], &value, 4); }
    const uint8_t* Data() const { return bytes.data(); }

    std::vector<uint8_t> bytes;
    uint32_t used = 0;
};

}  // namespace

TEST(SelfCommandBlock, CleanCopiesGiveTheBareManager)
{
    std::string bare = read_whole_file(pelmarodesk_exe());
    std::string filled = read_whole_file(filled_installer());
    size_t block_offset = std::stoul(read_test_records("filled_installer.txt").at(0).at(1));
    ASSERT_GT(filled.size(), bare.size());
    ASSERT_NE(filled, bare.substr(0, filled.size()));

    auto block = reinterpret_cast<const uint8_t*>(filled.data() + block_offset);
    EXPECT_TRUE(clean_copy(block, filled_installer()) == bare) << "the installer's clean copy";
    uint8_t own[command_block_size];
    copy_own_command_block(own);
    EXPECT_TRUE(clean_copy(own, pelmarodesk_exe()) == bare) << "a bare manager's clean copy";

    // The running program (a bare manager too) copies its own file.
    cMemIOTarget output;
    ASSERT_TRUE(write_clean_copy(&output));
    _typebuf<uint8_t> copy;
    output.CopyTo(copy);
    wchar_t module[MAX_PATH];
    std::string own_file = read_whole_file(std::wstring(module, GetModuleFileNameW(nullptr, module, MAX_PATH)));
    EXPECT_TRUE(std::string(reinterpret_cast<const char*>(copy.Data()), size_t(copy.Count())) == own_file);
}

TEST(SelfCommandBlock, MalformedRecordTablesAreRefusedWithoutWriting)
{
    std::wstring program = pelmarodesk_exe();
    uint32_t size = uint32_t(read_whole_file(program).size());
    const uint32_t at = 100000;  // where the tables below put the block
    struct Case {
        const char* what;
        Block block;
    } cases[] = {
        {"sound table (control)", Block().Header(size, at, size).Record(64, 4).Record(at, 0).End()},
        {"manager longer than the file", Block().Header(size, at, size + 1).Record(at, 0).End()},
        {"block beyond the manager", Block().Header(size, size - 100, size).Record(size - 100, 0).End()},
        {"record beyond the manager", Block().Header(size, at, size).Record(at, 0).Record(size - 2, 4).End()},
        {"record overlong for the area", Block().Header(size, at, size).Record(at, 0).Record(at + 8192, 7920)},
        // One byte past the area, with a sound end record after it.
        {"record overlong, end beyond",
         Block(1, 2 * command_block_size).Header(size, at, size).Record(at, 0).Record(at + 8192, 7913).End()},
        {"no record for the block", Block().Header(size, at, size).Record(64, 4).End()},
        {"two records for the block", Block().Header(size, at, size).Record(at, 0).Record(at, 0).End()},
        {"block record with bytes", Block().Header(size, at, size).Record(at, 4).End()},
        {"records overlapping", Block().Header(size, at, size).Record(64, 8).Record(70, 4).Record(at, 0).End()},
        {"record inside the block", Block().Header(size, at, size).Record(at, 0).Record(at + 10, 4).End()},
        {"no end record", Block().Header(size, at, size).Record(at, 0)},
        {"kind 0", Block(0).Header(size, at, size).Record(at, 0).End()},
        {"opening of a template only", Block('<').Header(size, at, size).Record(at, 0).End()},
    };
    for (const Case& c : cases) {
        std::string copy = clean_copy(c.block.Data(), program);
        if (c.what == cases[0].what)
            EXPECT_EQ(copy.size(), size) << c.what;
        else
            EXPECT_EQ(copy, "<refused>") << c.what;
    }
    // Record heads that would not fit the area: a table of exactly 7,924
    // bytes of records and no end.
    Block full = Block().Header(size, at, size).Record(at, 0).Record(at + 8192, 7924 - 12);
    EXPECT_EQ(clean_copy(full.Data(), program), "<refused>");
    // Nor does the maker's filler write one.
    std::vector<uint8_t> area(command_block_size), source(7924);
    cCommandBlockFiller filler(area.data(), 0, 0, 20000);
    EXPECT_FALSE(filler.AddRecord(10000, source.data(), 7924 - 11));
    EXPECT_TRUE(filler.AddRecord(10000, source.data(), 7924 - 12));
}

TEST(SelfCommandBlock, BlockNamesItsPackage)
{
    TempFolder folder(L"block");
    ASSERT_TRUE(folder.WriteFile(L"program.exe", "x"));
    ASSERT_TRUE(folder.WriteFile(L"package.bin", "x"));
    std::wstring program = folder.Path(L"program.exe");
    auto kind2 = [](const std::string& path) {
        Block block(2);
        block.Header(0x1234, 0, 0);
        memcpy(&block.bytes[1], path.data(), path.size() < 255 ? path.size() : 255);
        return block;
    };
    std::string long_name(300, 'a');
    struct Case {
        const char* what;
        Block block;
        std::wstring program;
        bool found;
        std::wstring package;
    } cases[] = {
        {"inside an existing program", Block(1).Header(0x1234, 0, 0), program, true, program},
        {"inside a missing program", Block(1).Header(0x1234, 0, 0), folder.Path(L"gone.exe"), false, L""},
        {"absolute path, missing file", kind2("C:/nowhere/p.bin"), program, true, L"C:/nowhere/p.bin"},
        {"beside the program", kind2("./package.bin"), program, true, folder.Path(L"package.bin")},
        {"beside, missing", kind2("./missing.bin"), program, false, L""},
        {"beside a program without folder", kind2("./package.bin"), L"program.exe", false, L""},
        {"empty path", kind2(""), program, false, L""},
        {"unterminated path of 255 bytes", kind2(long_name), program, true, std::wstring(255, L'a')},
        {"template", Block('<'), program, false, L""},
        {"other kind", Block(3).Header(0x1234, 0, 0), program, false, L""},
    };
    for (const Case& c : cases) {
        _guardchar<wchar_t> package;
        uint32_t offset = 0;
        bool found = command_block_package(c.block.Data(), c.program.c_str(), package, offset);
        EXPECT_EQ(found, c.found) << c.what;
        if (found) {
            EXPECT_EQ(std::wstring(package.Text()), c.package) << c.what;
            EXPECT_EQ(offset, 0x1234u) << c.what;
        }
    }
}

TEST(SelfCommandBlock, InstallerFindsItselfHoweverItIsStarted)
{
    TempFolder elsewhere(L"elsewhere");
    std::wstring installer = filled_installer();
    std::wstring bare = pelmarodesk_exe();
    // The installer runs its install mode whatever its words: the start-up
    // reads the package the block names (here a stand-in that is no
    // package), says so and ends with 1. An unknown word without a block
    // ends with 1 at once.
    struct Case {
        const wchar_t* what;
        std::wstring program;
        std::wstring command_line;
        bool install_mode;
    } cases[] = {
        {L"bare name without .exe", installer, L"filled_installer unknown-word", true},
        {L"another program's path", installer, L"\"C:\\Windows\\notepad.exe\" unknown-word", true},
        {L"no words at all", installer, L"", true},
        {L"bare manager, unknown word", bare, L"pelmarodesk unknown-word", false},
    };
    for (const Case& c : cases) {
        bool error_shown = false;
        // The message is closed as soon as it shows.
        EXPECT_EQ(run_program(c.program, c.command_line, with_separator(elsewhere.Path(), L'\\'),
                              [&error_shown](DWORD process_id) {
                                  if (HWND message = find_process_window(process_id, L"Error")) {
                                      error_shown = true;
                                      PostMessageW(message, WM_CLOSE, 0, 0);
                                  }
                              }),
                  1u)
            << c.what;
        EXPECT_EQ(error_shown, c.install_mode) << c.what << ": the damaged package's message";
    }
}
