// The test executable of the verdict's own test: each test misbehaves in one
// way a test run can, selected with --gtest_filter.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdlib.h>

namespace {

// Through a pointer the compiler cannot see as null: a real page fault.
int* volatile nowhere = nullptr;

void crash() { *nowhere = 1; }

void exit_with_success() { ExitProcess(0); }

}  // namespace

TEST(Probe, Passes) { EXPECT_EQ(GetCurrentProcessId(), GetCurrentProcessId()); }

TEST(Probe, Fails) { ADD_FAILURE() << "the probe's planned failure"; }

TEST(Probe, CrashesNow) { crash(); }

TEST(Probe, CrashesAtExit) { atexit(crash); }

TEST(Probe, ExitsWithSuccessAtExit) { atexit(exit_with_success); }
