#include "tools/shell/record_keys.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "base/ci_app_config.h"
#include "tests/support/temp_folder.h"

// A list's count as the store holds it: its sign by the width it is stored
// in, whatever the width, and never more items than the record has names.
TEST(RecordReader, AListIsReadAtItsCountsWidthAndNoFurtherThanTheRecordHoldsNames)
{
    struct CountCase {
        const char* what;
        std::string bytes;  // the count's value; "missing": no count
        bool list;
        uint64_t length;
    };
    const CountCase cases[] = {
        {"3 in 4 bytes", std::string("\x03\x00\x00\x00", 4), true, 3},
        {"0 in 2 bytes", std::string("\x00\x00", 2), true, 0},
        {"-1 in 1 byte", "\xFF", false, 0},
        {"-5 in 2 bytes", "\xFB\xFF", false, 0},
        {"-1 in 3 bytes", "\xFF\xFF\xFF", false, 0},
        {"-5 in 4 bytes", "\xFB\xFF\xFF\xFF", false, 0},
        {"-1 in 8 bytes", std::string(8, '\xFF'), false, 0},
        // The record holds "files" and file0 to file2.
        {"127 in 1 byte", "\x7F", true, 4},
        {"2^31 - 1 in 4 bytes", "\xFF\xFF\xFF\x7F", true, 4},
        {"2^63 - 1 in 8 bytes", std::string(7, '\xFF') + "\x7F", true, 4},
        {"no bytes", "", false, 0},
        {"9 bytes", std::string(9, '\x01'), false, 0},
        {"missing", "missing", false, 0},
    };
    for (const CountCase& c : cases) {
        TempFolder folder(L"recordkeys");
        ASSERT_TRUE(CreateDirectoryW(folder.Native(L"store").c_str(), nullptr));
        cCIAppConfig store;
        ASSERT_TRUE(store.OpenStore(folder.Path(L"store").c_str()));
        for (int i = 0; i < 3; ++i)
            store.WriteString(("install/x/file" + std::to_string(i)).c_str(), L"C:/x", -1);
        if (c.bytes != "missing")
            store.WriteBytes("install/x/files", c.bytes.data(), uint32_t(c.bytes.size()));
        cRecordReader reader(store, "install/x");
        uint64_t length = 99;
        EXPECT_EQ(reader.ListLength(record_files, length), c.list) << c.what;
        if (c.list) {
            EXPECT_EQ(length, c.length) << c.what;
        }
    }
}
