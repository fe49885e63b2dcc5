#include "base/process_launch.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

namespace {

std::wstring unique_name(const wchar_t* what)
{
    return std::wstring(L"pelmaro-launch-") + what + L"-" + std::to_wstring(GetCurrentProcessId());
}

}  // namespace

TEST(ProcessRunDetached, ReturnsWhileTheChildRunsAndHandsItNoHandle)
{
    TempFolder temp(L"detached");
    std::wstring event_name = unique_name(L"release");
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, event_name.c_str());
    ASSERT_NE(release, nullptr);
    // An inheritable pipe end held here while the child starts: a child
    // that inherited it would keep the pipe alive after ours is closed.
    SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
    HANDLE read_end, write_end;
    ASSERT_TRUE(CreatePipe(&read_end, &write_end, &inheritable, 0));

    // The child ends only when released (or after 30 s), so the call can
    // only return first if it does not wait for the child.
    std::wstring command = child_command(L"wait " + event_name + L" \"" + temp.Native(L"result") + L"\"");
    EXPECT_TRUE(process_run_detached(command.c_str()));
    CloseHandle(write_end);
    DWORD available = 0;
    EXPECT_FALSE(PeekNamedPipe(read_end, nullptr, 0, nullptr, &available, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_BROKEN_PIPE));
    CloseHandle(read_end);

    SetEvent(release);
    EXPECT_EQ(wait_for_child_file(temp.Native(L"result")), "released");
    CloseHandle(release);
}

TEST(ProcessRunDetached, FailsForAMissingProgram)
{
    EXPECT_FALSE(process_run_detached(L"pelmaro-no-such-program.exe --flag"));
    EXPECT_FALSE(process_run_detached(nullptr));
}

// The program and its parameters as Windows' own CommandLineToArgvW splits
// them: the program part is its first argument, and the parameters, split
// again after a stand-in program, give its other arguments.
TEST(SplitCommandLine, ParsesAsCommandLineToArgvW)
{
    const wchar_t* const lines[] = {
        L"app.exe",
        L"app.exe -x",
        L"app.exe\t-x  \"two words\"",
        L"\"C:\\Program Files\\App\\app.exe\"",
        L"\"C:\\Program Files\\App\\app.exe\" --open \"a b.txt\"",
        L"\"C:/p q/app.exe\"x y",
        L"\"a\"\"b\" c",
        L"C:\\path\\app.exe \"\"",
        L"\"\" rest",
        L"app.exe   ",
        L"\"quoted prog\"   ",
        L"a\\\"b c",
        L"C:\\dir\\ x",
    };
    for (const wchar_t* line : lines) {
        SCOPED_TRACE(std::string(line, line + wcslen(line)));
        int count = 0;
        wchar_t** expected = CommandLineToArgvW(line, &count);
        ASSERT_NE(expected, nullptr);
        const wchar_t* program_end = nullptr;
        const wchar_t* parameters = nullptr;
        ASSERT_TRUE(split_command_line(line, &program_end, &parameters));
        std::wstring program(line, program_end);
        if (!program.empty() && program.front() == L'"')
            program = program.substr(1, program.size() - 2);
        EXPECT_EQ(program, expected[0]);
        std::vector<std::wstring> rest;
        if (*parameters) {
            int rest_count = 0;
            wchar_t** split = CommandLineToArgvW((L"x " + std::wstring(parameters)).c_str(), &rest_count);
            for (int i = 1; i < rest_count; ++i)
                rest.push_back(split[i]);
            LocalFree(split);
        }
        EXPECT_EQ(rest, std::vector<std::wstring>(expected + 1, expected + count));
        LocalFree(expected);
    }
    const wchar_t* end = nullptr;
    const wchar_t* parameters = nullptr;
    EXPECT_FALSE(split_command_line(L"\"never closed", &end, &parameters));
    EXPECT_FALSE(split_command_line(nullptr, &end, &parameters));
}

TEST(ShellOpen, RefusesEmptyTextAndAnUnmatchedQuote)
{
    EXPECT_FALSE(shell_open(nullptr));
    EXPECT_FALSE(shell_open(L""));
    std::wstring unquoted_program = L"\"" + own_executable() + L" --child marker x";
    for (const std::wstring& text : {std::wstring(L"\"C:/no such/program.exe"), unquoted_program}) {
        SCOPED_TRACE(std::string(text.begin(), text.end()));
        EXPECT_FALSE(shell_open(text.c_str()));
    }
}

TEST(ShellOpen, StartsACommandWithParametersAsACommandLine)
{
    TempFolder temp(L"shellcmd");
    std::wstring quoted = child_command(L"marker \"" + temp.Native(L"quoted") + L"\"");
    // The unquoted form needs a program path without blanks.
    std::wstring unquoted = own_executable() + L" --child marker " + temp.Native(L"unquoted");
    ASSERT_EQ(own_executable().find(L' '), std::wstring::npos);
    EXPECT_TRUE(shell_open(quoted.c_str()));
    EXPECT_TRUE(shell_open(unquoted.c_str()));
    EXPECT_EQ(wait_for_child_file(temp.Native(L"quoted")), "marker");
    EXPECT_EQ(wait_for_child_file(temp.Native(L"unquoted")), "marker");
}

TEST(ShellOpen, HandsAQuotedProgramWithoutParametersToTheShell)
{
    TempFolder temp(L"shellexe");
    // Started without arguments, the executable writes the marker that
    // this variable names; the child inherits it from here.
    ASSERT_TRUE(SetEnvironmentVariableW(CHILD_MARKER_VARIABLE, temp.Native(L"marker").c_str()));
    bool opened = shell_open((L"\"" + own_executable() + L"\"").c_str());
    SetEnvironmentVariableW(CHILD_MARKER_VARIABLE, nullptr);
    EXPECT_TRUE(opened);
    EXPECT_EQ(wait_for_child_file(temp.Native(L"marker")), "marker");
}

TEST(ShellOpen, HandsAnExistingFolderToTheShell)
{
    TempFolder temp(L"shelldir with blank");
    EXPECT_TRUE(shell_open(temp.Path().c_str()));
}

TEST(ShellOpen, FailsForAMissingFileWithoutParameters)
{
    EXPECT_FALSE(shell_open(L"C:/pelmaro-no-such-file.txt"));
}
