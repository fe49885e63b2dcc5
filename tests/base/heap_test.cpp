#include "base/arena.h"
#include "base/heap.h"
#include "tests/support/heap_probe.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <new>
#include <string>
#include <vector>

namespace {

// Names in the export directory of the running executable.
std::vector<std::string> exported_names()
{
    auto* base = reinterpret_cast<const unsigned char*>(GetModuleHandleW(nullptr));
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    std::vector<std::string> names;
    if (!dir.VirtualAddress)
        return names;
    auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    auto* name_rvas = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        names.emplace_back(reinterpret_cast<const char*>(base + name_rvas[i]));
    return names;
}

bool is_released(const void* p)
{
    MEMORY_BASIC_INFORMATION info;
    return VirtualQuery(p, &info, sizeof info) && info.State == MEM_FREE;
}

bool constructed = false;
struct Huge {
    char bytes[0x70000000];
    Huge() { constructed = true; }
};

}  // namespace

TEST(SharedHeap, ExecutableExportsOnlyTheHeapFunction)
{
    EXPECT_EQ(exported_names(), std::vector<std::string>{"__get_process_shared_heap"});
}

TEST(SharedHeap, AllocationComesFromTheExportedHeap)
{
    void* p = heap_alloc(100);
    ASSERT_NE(p, nullptr);
    HANDLE heap = __get_process_shared_heap();
    EXPECT_EQ(heap, heap_get_shared());
    EXPECT_NE(heap, GetProcessHeap());
    EXPECT_EQ(HeapSize(heap, 0, p), 100u);
    heap_free(p);
}

TEST(SharedHeap, NewAndDeleteUseTheSharedHeap)
{
    int* p = new int(7);
    EXPECT_EQ(heap_block_size(p), sizeof(int));
    delete p;
}

TEST(SharedHeap, FailedNewGivesNullWithoutConstructing)
{
    constructed = false;
    Huge* huge = new Huge;
    EXPECT_EQ(huge, nullptr);
    EXPECT_FALSE(constructed);

    char* block = new char[0x7FFFFFF0];
    EXPECT_EQ(block, nullptr);
    EXPECT_EQ(heap_alloc(0xFFFFFFFFu), nullptr);
}

TEST(Arena, SmallRequestsFillAChunkThenMoveToTheNext)
{
    cArena arena;
    char* first = static_cast<char*>(arena.Alloc(40000));
    char* second = static_cast<char*>(arena.Alloc(25535));
    char* third = static_cast<char*>(arena.Alloc(2));
    ASSERT_TRUE(first && second && third);
    // No alignment: the second starts where the first ended; together they
    // use the chunk exactly, so the third opens a new chunk at its start.
    EXPECT_EQ(second, first + 40000);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(first) % 0x10000, 0u);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(third) % 0x10000, 0u);
    EXPECT_NE(third, first);
    for (int i = 0; i < 40000; ++i)
        ASSERT_EQ(first[i], 0) << i;

    char* fresh = static_cast<char*>(arena.Alloc(65535));
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(fresh) % 0x10000, 0u);
}

TEST(Arena, ChunkSizeAndLargerComeFromTheHeap)
{
    cArena arena;
    int before = heap_busy_blocks();
    void* large = arena.Alloc(65536);
    ASSERT_NE(large, nullptr);
    EXPECT_EQ(heap_block_size(large), 65536u);
    EXPECT_EQ(heap_busy_blocks(), before + 1);
    arena.Release();
    EXPECT_EQ(heap_busy_blocks(), before);
}

TEST(Arena, NegativeRequestIsRefusedAndMovesNothing)
{
    cArena arena;
    char* a = static_cast<char*>(arena.Alloc(10));
    EXPECT_EQ(arena.Alloc(-5), nullptr);
    EXPECT_EQ(arena.Alloc(INT32_MIN), nullptr);
    char* b = static_cast<char*>(arena.Alloc(1));
    EXPECT_EQ(b, a + 10);
}

TEST(Arena, ReleaseFreesEveryChunkAcrossDirectoryPages)
{
    cArena arena;
    arena.entries_per_page = 4;  // three slots a page
    std::vector<void*> chunks;
    for (int i = 0; i < 11; ++i) {
        void* p = arena.Alloc(40000);
        ASSERT_NE(p, nullptr);
        memset(p, 0xAB, 40000);
        chunks.push_back(p);
    }
    for (size_t i = 1; i < chunks.size(); ++i)
        EXPECT_NE(chunks[i], chunks[i - 1]);
    arena.Release();
    for (void* p : chunks)
        EXPECT_TRUE(is_released(p));
}

TEST(Arena, ReleaseFreesEveryLargeBlockAcrossDirectoryPages)
{
    cArena arena;
    arena.entries_per_page = 4;
    int before = heap_busy_blocks();
    for (int i = 0; i < 10; ++i)
        ASSERT_NE(arena.Alloc(70000 + i), nullptr);
    EXPECT_EQ(heap_busy_blocks(), before + 10);
    arena.Release();
    EXPECT_EQ(heap_busy_blocks(), before);
}

TEST(Arena, ReleaseOnAFreshArenaAndReuseAfterRelease)
{
    cArena arena;
    arena.Release();
    void* p = arena.Alloc(100);
    ASSERT_NE(p, nullptr);
    arena.Release();
    EXPECT_TRUE(is_released(p));
    char* again = static_cast<char*>(arena.Alloc(100));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again[0], 0);
}
