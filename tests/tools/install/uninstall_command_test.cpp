// Another product's uninstall command run to its end, whatever it does with
// its pipes and whatever exit code it gives.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/support/child_process.h"
#include "tests/support/idle_job.h"
#include "tools/install/uninstall_command.h"

TEST(UninstallCommand, EndsWithTheCommandsExitCodeWhateverItDoesWithItsPipes)
{
    struct Case {
        const wchar_t* what;
        std::wstring command;
        int32_t exit_code;
    } cases[] = {
        {L"exit 0", child_command(L"silent 0"), 0},
        {L"exit 3", child_command(L"silent 3"), 3},
        // The code that polling for the end would take for "still running".
        {L"exit 259", child_command(L"silent 259"), 259},
        // Far more than a pipe holds, on both output and error.
        {L"100 KB of output", child_command(L"chatty 102400 4"), 4},
        // Reads its input until it ends.
        {L"reads its input", child_command(L"echo"), 0},
        {L"cannot start", L"\"C:\\no such folder\\uninstall.exe\"", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DWORD started = GetTickCount();
        EXPECT_EQ(run_uninstall_command(c.command.c_str(), nullptr), c.exit_code);
        EXPECT_LT(GetTickCount() - started, 20000u);
    }
}

TEST(UninstallCommand, StopRequestEndsTheCommand)
{
    cIdleJob job;
    job.RequestStop();
    DWORD started = GetTickCount();
    EXPECT_EQ(run_uninstall_command(child_command(L"sleep").c_str(), &job), 1);
    EXPECT_LT(GetTickCount() - started, 10000u);
}
