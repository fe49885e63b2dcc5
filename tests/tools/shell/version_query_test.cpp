// The version query between real processes: the bare manager answering its
// own version, and children of this test that answer in pieces, wrongly,
// late or never.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/support/child_process.h"
#include "tests/support/pelmarodesk_exe.h"
#include "tests/support/temp_folder.h"
#include "tools/shell/version_query.h"

namespace {

const uint64_t child_version = 0x0002000300040005ull;

// The record as the version mode writes it, built from its published layout.
std::string record_bytes(uint64_t version, uint32_t magic = 0x14A4A6E3)
{
    std::string bytes;
    for (int i = 0; i < 4; ++i)
        bytes += char(magic >> (8 * i));
    bytes += std::string("\x0F\x05\x00\x00", 4);
    for (int i = 0; i < 8; ++i)
        bytes += char(version >> (8 * i));
    return bytes;
}

void write_out(const std::string& bytes)
{
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), DWORD(bytes.size()), &written, nullptr);
}

uint64_t query_child(const std::wstring& what, uint32_t timeout_ms = 20000)
{
    return query_version_of_command(child_command(what).c_str(), timeout_ms);
}

}  // namespace

CHILD_MODE(record)
{
    write_out(record_bytes(child_version));
    return 0;
}

CHILD_MODE(split)
{
    std::string record = record_bytes(child_version);
    write_out(record.substr(0, 5));
    Sleep(200);
    write_out(record.substr(5));
    return 0;
}

CHILD_MODE(nothing)
{
    return 0;
}

CHILD_MODE(longer)
{
    write_out(record_bytes(child_version) + "x");
    return 0;
}

CHILD_MODE(other_magic)
{
    write_out(record_bytes(child_version, 0x14A4A6E4));
    return 0;
}

CHILD_MODE(endless)
{
    write_child_file(arguments.at(0), std::to_string(GetCurrentProcessId()));
    Sleep(INFINITE);
    return 0;
}

// The client holds to the published record (the children below write it
// from its layout), so the bare manager's answer pins its version mode too.
TEST(VersionQuery, BareManagerAnswersItsOwnVersion)
{
    EXPECT_EQ(query_manager_version(with_separator(pelmarodesk_exe(), L'/').c_str()), 0x0001000000040000ull);
    EXPECT_EQ(get_own_version(), 0x0001000000040000ull);
    EXPECT_EQ(query_manager_version(L"C:/no/such/manager.exe"), no_version);
}

// Starts "pelmarodesk version" with output as the standard output it
// inherits from this process, and also passed with STARTF_USESTDHANDLES
// when pass_flag is set; null process handle when it did not start.
PROCESS_INFORMATION start_version_mode(HANDLE output, bool pass_flag)
{
    HANDLE own_output = GetStdHandle(STD_OUTPUT_HANDLE);
    SetStdHandle(STD_OUTPUT_HANDLE, output);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (pass_flag) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = output;
    }
    PROCESS_INFORMATION child = {};
    std::wstring command = L"pelmarodesk version";
    if (!CreateProcessW(pelmarodesk_exe().c_str(), &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &child))
        child.hProcess = nullptr;
    SetStdHandle(STD_OUTPUT_HANDLE, own_output);
    if (child.hThread)
        CloseHandle(child.hThread);
    return child;
}

// Callers that redirect the standard output without the start-up flag that
// passes handles: a shell's ">" into a file, and a pipe the child inherits
// as its standard output. Each gets the record of version 1.0.4.
TEST(VersionQuery, VersionModeAnswersARedirectedOutputWithoutTheStartUpFlag)
{
    const std::string expected = record_bytes(0x0001000000040000ull);
    TempFolder folder(L"version");
    std::wstring out = with_separator(folder.Path(L"out.bin"), L'\\');
    std::wstring shell = L"cmd /c \"\"" + pelmarodesk_exe() + L"\" version > \"" + out + L"\"\"";
    EXPECT_EQ(run_program(L"", shell), 0u) << "cmd's exit code is the program's";
    EXPECT_TRUE(read_whole_file(out) == expected) << "through cmd's >";

    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    HANDLE read_end = nullptr, write_end = nullptr;
    ASSERT_TRUE(CreatePipe(&read_end, &write_end, &inherited, 0));
    SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
    PROCESS_INFORMATION child = start_version_mode(write_end, false);
    CloseHandle(write_end);
    ASSERT_NE(child.hProcess, nullptr);
    // The pipe ends when the child's copy of the write end goes with it.
    std::string received;
    char chunk[64];
    DWORD read = 0;
    while (ReadFile(read_end, chunk, sizeof chunk, &read, nullptr) && read)
        received.append(chunk, read);
    CloseHandle(read_end);
    EXPECT_EQ(finish_process(child.hProcess), 0u);
    EXPECT_TRUE(received == expected) << "through an inherited pipe, " << received.size() << " bytes";
}

TEST(VersionQuery, VersionModeWithoutAStandardOutputFails)
{
    for (bool pass_flag : {false, true}) {
        PROCESS_INFORMATION child = start_version_mode(nullptr, pass_flag);
        ASSERT_NE(child.hProcess, nullptr);
        EXPECT_EQ(finish_process(child.hProcess), 1u) << (pass_flag ? "a null handle passed" : "none inherited");
    }
}

TEST(VersionQuery, RepliesCountOnlyWhenTheWholeOutputIsOneRecord)
{
    struct Case {
        const wchar_t* mode;
        uint64_t expected;
    } cases[] = {
        {L"record", child_version},     {L"split", child_version},     {L"nothing", no_version},
        {L"longer", no_version},        {L"other_magic", no_version},  {L"no-such-mode", no_version},
    };
    for (const Case& c : cases)
        EXPECT_EQ(query_child(c.mode), c.expected) << std::string(c.mode, c.mode + wcslen(c.mode));
    // A record written just before the child ends is never lost.
    for (int i = 0; i < 50; ++i)
        ASSERT_EQ(query_child(L"record"), child_version) << "run " << i;
}

TEST(VersionQuery, ChildThatNeverEndsIsEndedAtTheTimeOut)
{
    TempFolder folder(L"version");
    std::wstring pid_file = folder.Native(L"pid.txt");
    DWORD started = GetTickCount();
    EXPECT_EQ(query_child(L"endless \"" + pid_file + L"\"", 1500), no_version);
    DWORD elapsed = GetTickCount() - started;
    EXPECT_GE(elapsed, 1400u);
    EXPECT_LT(elapsed, 10000u);
    std::string pid = wait_for_child_file(pid_file);
    ASSERT_NE(pid, "<missing>");
    HANDLE child = OpenProcess(SYNCHRONIZE, FALSE, DWORD(std::stoul(pid)));
    if (child) {
        EXPECT_EQ(WaitForSingleObject(child, 0), WAIT_OBJECT_0) << "the child still runs";
        CloseHandle(child);
    }
}
