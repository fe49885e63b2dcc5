#include "gui/theme.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "base/exception.h"

namespace {

// Holds the process's free address space and the shared heap's free room,
// so that allocations fail until it is released. Static storage, because
// while it holds nothing can be allocated.
class cMemoryStarver {
public:
    cMemoryStarver() : regions(0), blocks(0)
    {
        for (SIZE_T size = SIZE_T(1) << 30; size >= 0x10000; size >>= 1)
            while (regions < max_entries) {
                void* region = VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS);
                if (!region)
                    break;
                region_list[regions++] = region;
            }
        for (size_t size = 0x10000; size >= 8; size >>= 1)
            while (blocks < max_entries) {
                void* block = heap_alloc(size);
                if (!block)
                    break;
                block_list[blocks++] = block;
            }
    }

    ~cMemoryStarver()
    {
        while (blocks)
            heap_free(block_list[--blocks]);
        while (regions)
            VirtualFree(region_list[--regions], 0, MEM_RELEASE);
    }

    bool Starving() const { return heap_alloc(8) == nullptr; }

private:
    static const int max_entries = 65536;
    static void* region_list[max_entries];
    static void* block_list[max_entries];
    int regions;
    int blocks;
};

void* cMemoryStarver::region_list[max_entries];
void* cMemoryStarver::block_list[max_entries];

}  // namespace

TEST(ThemeWithoutMemory, LookupsInUnallocatedTablesThrowTheBoundsFailure)
{
    alignas(cCITheme) static unsigned char storage[sizeof(cCITheme)];
    cCITheme* theme = nullptr;
    bool starved = false;
    {
        cMemoryStarver starver;
        starved = starver.Starving();
        theme = new (storage) cCITheme(&builtin_theme);
    }
    ASSERT_TRUE(starved);

    // Out-of-range indexes still answer without touching the tables.
    EXPECT_EQ(theme->GetMetric(25, 0), 0);
    EXPECT_EQ(theme->GetImage(157), nullptr);
    const std::function<void()> lookups[] = {[theme] { theme->GetMetric(0, 0); }, [theme] { theme->GetImage(0); }};
    for (const auto& lookup : lookups) {
        try {
            lookup();
            ADD_FAILURE() << "no bounds failure";
        } catch (const cException& e) {
            ASSERT_NE(e.message.Text(), nullptr);
            EXPECT_STREQ(e.message.Text(), L"_classbuf::Out of bounds");
        }
    }
    theme->~cCITheme();
}
