#include "base/con_process.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/support/child_process.h"

namespace {

// Everything the child writes until the pipe reports its end; the last
// error of the read that ended it goes to end_error.
std::string read_to_end(HANDLE pipe, DWORD* end_error)
{
    std::string bytes;
    char chunk[64];
    DWORD read = 0;
    while (ReadFile(pipe, chunk, sizeof(chunk), &read, nullptr) && read)
        bytes.append(chunk, read);
    *end_error = GetLastError();
    return bytes;
}

// Waits for the child's end without asking the object, so that Poll and
// Kill meet a child that has certainly ended.
void wait_for_end(const cConProcess& child)
{
    ASSERT_NE(child.ProcessHandle(), INVALID_HANDLE_VALUE);
    ASSERT_EQ(WaitForSingleObject(child.ProcessHandle(), INFINITE), DWORD(WAIT_OBJECT_0));
}

// A handle of our own on the tracked child, to watch it after the object
// has let it go.
HANDLE copy_of_process(const cConProcess& child)
{
    HANDLE copy = nullptr;
    DuplicateHandle(GetCurrentProcess(), child.ProcessHandle(), GetCurrentProcess(), &copy, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    return copy;
}

DWORD exit_code_after_end(HANDLE process)
{
    DWORD code = 0;
    WaitForSingleObject(process, INFINITE);
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return code;
}

}  // namespace

TEST(ConProcess, FreshObjectTracksNothing)
{
    cConProcess child;
    EXPECT_FALSE(child.Poll());
    EXPECT_TRUE(child.Kill());
    EXPECT_EQ(child.ExitCode(), 0u);
    EXPECT_EQ(child.OutputPipe(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(child.InputPipe(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(child.ProcessHandle(), INVALID_HANDLE_VALUE);
    child.Close();
    EXPECT_FALSE(child.Poll());
}

TEST(ConProcess, ReadsTheChildsAnswerThenTheEndOfThePipe)
{
    // Line ends, NUL and Ctrl-Z among the bytes: the pipe carries them as they are.
    const std::string answer("\xE3\xA6\xA4\x14\x0F\x05\x00\x00\x0D\x0A\x1A\x00\x01\x00\xFF\x7F", 16);
    cConProcess child;
    ASSERT_TRUE(child.Start(child_command(L"answer e3a6a4140f0500000d0a1a000100ff7f 0").c_str()));
    DWORD end_error = 0;
    EXPECT_EQ(read_to_end(child.OutputPipe(), &end_error), answer);
    EXPECT_EQ(end_error, DWORD(ERROR_BROKEN_PIPE));
}

TEST(ConProcess, InputPipeReachesTheChild)
{
    cConProcess child;
    ASSERT_TRUE(child.Start(child_command(L"echo").c_str()));
    const std::string question = "0123456789abcdef";
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(child.InputPipe(), question.data(), DWORD(question.size()), &written, nullptr));
    EXPECT_EQ(written, question.size());
    DWORD end_error = 0;
    EXPECT_EQ(read_to_end(child.OutputPipe(), &end_error), question);
}

TEST(ConProcess, PollAnswersTrueOnceWithTheExitCodeThenFalse)
{
    // 259 is STILL_ACTIVE: a child may exit with it and still be seen to end.
    for (uint32_t code : {0u, 3u, 259u, 0x12345678u}) {
        SCOPED_TRACE(code);
        cConProcess child;
        ASSERT_TRUE(child.Start(child_command(L"silent " + std::to_wstring(code)).c_str()));
        wait_for_end(child);
        EXPECT_EQ(child.ExitCode(), 0u);
        EXPECT_TRUE(child.Poll());
        EXPECT_EQ(child.ExitCode(), code);
        EXPECT_EQ(child.ProcessHandle(), INVALID_HANDLE_VALUE);
        EXPECT_FALSE(child.Poll());
        EXPECT_EQ(child.ExitCode(), code);
    }
}

TEST(ConProcess, ChildThatExitsWithoutWritingEndsTheRead)
{
    cConProcess child;
    ASSERT_TRUE(child.Start(child_command(L"silent 5").c_str()));
    wait_for_end(child);
    // No copy of the pipe's write end is left in this process, so the pipe
    // is broken now; checked without blocking before the read.
    DWORD available = 0;
    ASSERT_FALSE(PeekNamedPipe(child.OutputPipe(), nullptr, 0, nullptr, &available, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_BROKEN_PIPE));
    char byte;
    DWORD read = 1;
    EXPECT_FALSE(ReadFile(child.OutputPipe(), &byte, 1, &read, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_BROKEN_PIPE));
    EXPECT_EQ(read, 0u);
}

TEST(ConProcess, KillEndsARunningChild)
{
    cConProcess child;
    ASSERT_TRUE(child.Start(child_command(L"sleep").c_str()));
    HANDLE watched = copy_of_process(child);
    ASSERT_NE(watched, nullptr);
    EXPECT_TRUE(child.Poll());
    EXPECT_EQ(child.ExitCode(), 0u);
    EXPECT_TRUE(child.Kill());
    EXPECT_EQ(child.ProcessHandle(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(child.ExitCode(), 1u);
    EXPECT_FALSE(child.Poll());
    EXPECT_EQ(exit_code_after_end(watched), 1u);
    DWORD end_error = 0;
    EXPECT_EQ(read_to_end(child.OutputPipe(), &end_error), "");
    EXPECT_EQ(end_error, DWORD(ERROR_BROKEN_PIPE));
}

TEST(ConProcess, KillOfAnEndedChildStoresItsCode)
{
    cConProcess child;
    ASSERT_TRUE(child.Start(child_command(L"silent 7").c_str()));
    wait_for_end(child);
    EXPECT_TRUE(child.Kill());
    EXPECT_EQ(child.ExitCode(), 7u);
    EXPECT_FALSE(child.Poll());
    EXPECT_TRUE(child.Kill());
    EXPECT_EQ(child.ExitCode(), 7u);
}

TEST(ConProcess, StartAgainEndsTheFormerChildAndGivesNewPipes)
{
    cConProcess child;
    ASSERT_TRUE(child.Start(child_command(L"sleep").c_str()));
    HANDLE former = copy_of_process(child);
    ASSERT_NE(former, nullptr);
    ASSERT_TRUE(child.Start(child_command(L"answer 000102030405060708090a0b0c0d0e0f 4").c_str()));
    EXPECT_EQ(exit_code_after_end(former), 1u);
    DWORD end_error = 0;
    EXPECT_EQ(read_to_end(child.OutputPipe(), &end_error), std::string("\0\1\2\3\4\5\6\7\10\11\12\13\14\15\16\17", 16));
    while (child.Poll()) {
    }
    EXPECT_EQ(child.ExitCode(), 4u);
}

TEST(ConProcess, DestructionEndsTheChild)
{
    HANDLE watched = nullptr;
    {
        cConProcess child;
        ASSERT_TRUE(child.Start(child_command(L"sleep").c_str()));
        watched = copy_of_process(child);
        ASSERT_NE(watched, nullptr);
    }
    EXPECT_EQ(exit_code_after_end(watched), 1u);
}

TEST(ConProcess, StartOfAMissingProgramFailsAndKeepsItsPipesUntilClose)
{
    cConProcess child;
    EXPECT_FALSE(child.Start(L"pelmaro-no-such-program.exe"));
    EXPECT_FALSE(child.Poll());
    EXPECT_NE(child.OutputPipe(), INVALID_HANDLE_VALUE);
    EXPECT_NE(child.InputPipe(), INVALID_HANDLE_VALUE);
    // The child's ends were closed on the way out: no one is left to write
    // to the output pipe or to read the input pipe.
    DWORD available = 0, written = 0;
    EXPECT_FALSE(PeekNamedPipe(child.OutputPipe(), nullptr, 0, nullptr, &available, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_BROKEN_PIPE));
    EXPECT_FALSE(WriteFile(child.InputPipe(), "x", 1, &written, nullptr));
    child.Close();
    EXPECT_EQ(child.OutputPipe(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(child.InputPipe(), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(child.Start(nullptr));
}

TEST(ConProcess, LetsGoOfTheProcessHandleWhenTheChildIsNoLongerTracked)
{
    cConProcess child;
    ASSERT_TRUE(child.Start(child_command(L"silent 0").c_str()));
    HANDLE polled = child.ProcessHandle();
    wait_for_end(child);
    EXPECT_TRUE(child.Poll());
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(polled, &flags));

    ASSERT_TRUE(child.Start(child_command(L"sleep").c_str()));
    HANDLE killed = child.ProcessHandle();
    EXPECT_TRUE(child.Kill());
    EXPECT_FALSE(GetHandleInformation(killed, &flags));
}
