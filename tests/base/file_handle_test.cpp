#include "base/file_handle.h"

#include <gtest/gtest.h>

// The operations on an open handle are the file stream's: see file_io_test.

TEST(FileHandle, PathsThatCannotBeConvertedGiveNoHandle)
{
    EXPECT_EQ(file_handle_open(nullptr, FILE_MODE_READ), INVALID_HANDLE_VALUE);
    EXPECT_EQ(file_handle_open(L"", FILE_MODE_READ), INVALID_HANDLE_VALUE);
    EXPECT_EQ(file_handle_create(nullptr, FILE_MODE_WRITE), INVALID_HANDLE_VALUE);
    EXPECT_EQ(file_handle_create(L"", FILE_MODE_WRITE), INVALID_HANDLE_VALUE);
}

TEST(FileHandle, OwnerClosesItsHandle)
{
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(event, HANDLE(0));
    DWORD flags = 0;
    {
        cSafeFD owner(event);
        EXPECT_TRUE(GetHandleInformation(event, &flags));
    }
    EXPECT_FALSE(GetHandleInformation(event, &flags));
    for (HANDLE none : {HANDLE(0), file_handle_invalid()}) {
        file_handle_close_and_clear(none);
        EXPECT_EQ(none, HANDLE(0));
    }
    // INVALID_HANDLE_VALUE is also this process's own handle.
    EXPECT_FALSE(file_handle_close(file_handle_invalid()));
    EXPECT_FALSE(file_handle_is_valid(file_handle_invalid()));
}
