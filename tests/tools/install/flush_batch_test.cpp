#include "tools/install/flush_batch.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_folder.h"

namespace {

std::string contents_of(int index)
{
    return "file " + std::to_string(index) + std::string(size_t(index) * 97, char('a' + index % 26));
}

// True when no handle holds the file any more: it opens without sharing.
bool closed(const std::wstring& path)
{
    cFileIO file;
    return file.Open(path.c_str(), FILE_MODE_READ | FILE_MODE_EXCLUSIVE);
}

}  // namespace

// The unpack pass's use: more files than the batch holds, each written and
// kept (its flush starts while the next is written), the batch flushed when
// full and at the end. Every kept file is then closed with its contents.
TEST(FlushBatch, KeptFilesAreFlushedAndClosedBatchByBatch)
{
    TempFolder folder(L"flush");
    cFlushBatch batch;
    const int total = cFlushBatch::capacity + 44;
    int flushes = 0;
    for (int i = 0; i < total; ++i) {
        cFileIO* file = batch.Next();
        if (!file) {
            _guardchar<wchar_t> failed;
            ASSERT_TRUE(batch.FlushAll(failed)) << i;
            ++flushes;
            file = batch.Next();
        }
        ASSERT_NE(file, nullptr) << i;
        std::wstring path = folder.Path(L"f" + std::to_wstring(i));
        ASSERT_TRUE(file->Create(path.c_str(), FILE_MODE_WRITE | FILE_MODE_EXCLUSIVE));
        std::string data = contents_of(i);
        ASSERT_TRUE(file->WriteExact(data.data(), uint32_t(data.size())));
        batch.Keep();
    }
    _guardchar<wchar_t> failed;
    EXPECT_TRUE(batch.FlushAll(failed));
    EXPECT_EQ(flushes, 1);
    for (int i = 0; i < total; ++i) {
        std::wstring path = folder.Path(L"f" + std::to_wstring(i));
        EXPECT_TRUE(closed(path)) << i;
        EXPECT_EQ(folder.ReadFile(L"f" + std::to_wstring(i)), contents_of(i)) << i;
    }
}

// A flush that fails (a file that cannot take one) is reported with its
// path, after the others; a batch given up half-way closes its files,
// written or not, and ends without waiting for anything else.
TEST(FlushBatch, AFailedFlushNamesItsFileAndAGivenUpBatchClosesEverything)
{
    TempFolder folder(L"flush");
    ASSERT_TRUE(folder.WriteFile(L"read-only", "old"));
    cFlushBatch batch;
    const wchar_t* names[] = {L"a", L"read-only", L"b"};
    for (const wchar_t* name : names) {
        cFileIO* file = batch.Next();
        ASSERT_NE(file, nullptr);
        std::wstring path = folder.Path(name);
        if (std::wstring(name) == L"read-only") {
            ASSERT_TRUE(file->Open(path.c_str(), FILE_MODE_READ));
        } else {
            ASSERT_TRUE(file->Create(path.c_str(), FILE_MODE_WRITE));
            ASSERT_TRUE(file->WriteExact("new", 3));
        }
        batch.Keep();
    }
    _guardchar<wchar_t> failed;
    EXPECT_FALSE(batch.FlushAll(failed));
    EXPECT_EQ(std::wstring(failed.Text() ? failed.Text() : L""), folder.Path(L"read-only"));
    for (const wchar_t* name : names)
        EXPECT_TRUE(closed(folder.Path(name))) << name;

    cFileIO* kept = batch.Next();
    ASSERT_TRUE(kept && kept->Create(folder.Path(L"kept").c_str(), FILE_MODE_WRITE));
    batch.Keep();
    cFileIO* half = batch.Next();
    ASSERT_TRUE(half && half->Create(folder.Path(L"half").c_str(), FILE_MODE_WRITE));
    batch.CloseAll();
    EXPECT_TRUE(closed(folder.Path(L"kept")));
    EXPECT_TRUE(closed(folder.Path(L"half")));
}

// Files kept one by one with pauses between them, as a slow member does:
// the threads run out of work and sleep between the files, so each later
// file has to wake one of them, also after a FlushAll in the middle. A
// file left unwoken would never finish and FlushAll would not return.
TEST(FlushBatch, FilesKeptAfterThePauseOfTheThreadsAreStillFlushed)
{
    TempFolder folder(L"flush");
    cFlushBatch batch;
    const int total = 24;
    for (int i = 0; i < total; ++i) {
        cFileIO* file = batch.Next();
        ASSERT_NE(file, nullptr) << i;
        std::wstring name = L"p" + std::to_wstring(i);
        ASSERT_TRUE(file->Create(folder.Path(name).c_str(), FILE_MODE_WRITE | FILE_MODE_EXCLUSIVE));
        std::string data = contents_of(i);
        ASSERT_TRUE(file->WriteExact(data.data(), uint32_t(data.size())));
        batch.Keep();
        Sleep(i % 3 == 0 ? 30 : 0);
        if (i % 8 == 7) {
            _guardchar<wchar_t> failed;
            ASSERT_TRUE(batch.FlushAll(failed)) << i;
            for (int j = i - 7; j <= i; ++j)
                EXPECT_TRUE(closed(folder.Path(L"p" + std::to_wstring(j)))) << j;
        }
    }
    for (int i = 0; i < total; ++i)
        EXPECT_EQ(folder.ReadFile(L"p" + std::to_wstring(i)), contents_of(i)) << i;
}
