#include "base/buffers/classbuf.h"
#include "base/buffers/guardchar.h"
#include "base/buffers/typebuf.h"
#include "base/exception.h"
#include "tests/support/heap_probe.h"

#include <gtest/gtest.h>
#include <string.h>
#include <wchar.h>

#include <string>

namespace {

struct Thrown {
    std::wstring message;
    uint32_t code;
    std::wstring file;
    uint32_t line;
};

template <class F>
Thrown catch_bounds(F access)
{
    try {
        access();
    } catch (const cException& e) {
        return {e.message.Text(), e.code, e.source_file.Text(), e.line};
    }
    ADD_FAILURE() << "no exception";
    return {};
}

int live_elements = 0;
int built_in_total = 0;
struct Counted {
    int order;
    Counted() : order(built_in_total++) { ++live_elements; }
    ~Counted() { --live_elements; }
};

struct ThrowsOnThird {
    ThrowsOnThird()
    {
        if (built_in_total == 2)
            throw 42;
        ++built_in_total;
        ++live_elements;
    }
    ~ThrowsOnThird() { --live_elements; }
};

}  // namespace

TEST(TypeBuf, IndexOutsideThrowsTheBoundsException)
{
    _typebuf<int32_t> buffer(3);
    buffer[0] = 1;
    buffer[2] = 3;
    for (int32_t index : {-1, 3, INT32_MIN, INT32_MAX}) {
        Thrown t = catch_bounds([&] { buffer[index] = 0; });
        EXPECT_EQ(t.message, L"_typebuf::Out of bounds");
        EXPECT_EQ(t.code, 0u);
        EXPECT_EQ(t.line, 17u);
        EXPECT_EQ(t.file, L"base/buffers/typebuf.h");
    }
    _typebuf<uint8_t> empty;
    EXPECT_EQ(catch_bounds([&] { (void)empty[0]; }).line, 17u);
}

TEST(ClassBuf, IndexOutsideThrowsTheBoundsException)
{
    _classbuf<_guardchar<wchar_t>> strings(2);
    volatile int32_t past_end = 2;  // kept out of the optimiser's sight
    Thrown t = catch_bounds([&] { strings[past_end].Assign(L"x"); });
    EXPECT_EQ(t.message, L"_classbuf::Out of bounds");
    EXPECT_EQ(t.code, 0u);
    EXPECT_EQ(t.line, 127u);
    EXPECT_EQ(t.file, L"base/buffers/classbuf.h");
    EXPECT_EQ(catch_bounds([&] { (void)strings[-1]; }).line, 127u);
}

TEST(TypeBuf, ResizeToZeroOrNegativeEmpties)
{
    _typebuf<uint16_t> buffer(5);
    EXPECT_EQ(buffer.Count(), 5);
    buffer.Resize(0);
    EXPECT_EQ(buffer.Count(), 0);
    EXPECT_EQ(buffer.Data(), nullptr);
    buffer.Resize(4);
    buffer.Resize(-3);
    EXPECT_EQ(buffer.Count(), 0);
    EXPECT_EQ(buffer.Data(), nullptr);
}

TEST(TypeBuf, ReallocKeepsContents)
{
    _typebuf<uint32_t> buffer(4);
    for (int32_t i = 0; i < 4; ++i)
        buffer[i] = 100 + i;
    uint32_t* before = buffer.Data();
    EXPECT_TRUE(buffer.Realloc(4));
    EXPECT_EQ(buffer.Data(), before);

    EXPECT_TRUE(buffer.Realloc(2));
    ASSERT_EQ(buffer.Count(), 2);
    EXPECT_EQ(buffer[0], 100u);
    EXPECT_EQ(buffer[1], 101u);

    EXPECT_TRUE(buffer.Realloc(6));
    ASSERT_EQ(buffer.Count(), 6);
    EXPECT_EQ(buffer[1], 101u);

    // A block that cannot be had leaves the buffer as it was.
    EXPECT_FALSE(buffer.Realloc(0x7FFFFFFF));
    EXPECT_EQ(buffer.Count(), 6);
    EXPECT_EQ(buffer[0], 100u);

    EXPECT_TRUE(buffer.Realloc(0));
    EXPECT_EQ(buffer.Data(), nullptr);
}

TEST(TypeBuf, ImpossibleSizeLeavesTheBufferEmpty)
{
    _typebuf<uint8_t> bytes(0x7FFFFFFF);
    EXPECT_EQ(bytes.Data(), nullptr);
    EXPECT_EQ(bytes.Count(), 0);
    _typebuf<uint64_t> wide(0x40000000);  // 8 GiB: the size saturates
    EXPECT_EQ(wide.Data(), nullptr);
    EXPECT_EQ(wide.Count(), 0);
    wide.Resize(16);
    EXPECT_EQ(wide.Count(), 16);
}

TEST(ClassBuf, ConstructsInOrderAndDestroysEveryElement)
{
    live_elements = built_in_total = 0;
    {
        _classbuf<Counted> items(3);
        ASSERT_EQ(items.Count(), 3);
        EXPECT_EQ(items[0].order, 0);
        EXPECT_EQ(items[2].order, 2);
        EXPECT_EQ(live_elements, 3);
        items.Resize(2);
        EXPECT_EQ(live_elements, 2);
    }
    EXPECT_EQ(live_elements, 0);

    _classbuf<Counted> none(0);
    EXPECT_EQ(none.Data(), nullptr);
    EXPECT_EQ(built_in_total, 5);
}

TEST(ClassBuf, ThrowingConstructorDestroysTheBuiltOnes)
{
    live_elements = built_in_total = 0;
    bool thrown = false;
    try {
        _classbuf<ThrowsOnThird> items(5);
    } catch (int) {
        thrown = true;
    }
    EXPECT_TRUE(thrown);
    EXPECT_EQ(live_elements, 0);
}

TEST(ClassBuf, ImpossibleSizeLeavesTheBufferEmpty)
{
    _classbuf<_guardchar<wchar_t>> strings(0x7FFFFFFF);
    EXPECT_EQ(strings.Data(), nullptr);
    EXPECT_EQ(strings.Count(), 0);
}

TEST(GuardChar, AssignCopiesAndNullEmpties)
{
    _guardchar<wchar_t> text(L"hello");
    EXPECT_STREQ(text.Text(), L"hello");
    EXPECT_EQ(text.Length(), 5);
    text.Assign(nullptr);
    EXPECT_EQ(text.Text(), nullptr);
    EXPECT_TRUE(text.IsEmpty());

    text.Assign(L"");
    ASSERT_NE(text.Text(), nullptr);
    EXPECT_EQ(text.Text()[0], L'\0');
    EXPECT_EQ(heap_block_size(text.Text()), sizeof(wchar_t));
}

TEST(GuardChar, AssignNStopsAtTheCountOrAfterTheNul)
{
    _guardchar<char> narrow;
    EXPECT_EQ(narrow.AssignN("abc", 2), 2);
    EXPECT_STREQ(narrow.Text(), "ab");

    EXPECT_EQ(narrow.AssignN("a", 5), 1);
    EXPECT_STREQ(narrow.Text(), "a");
    EXPECT_EQ(narrow.Text()[5], '\0');
    EXPECT_EQ(heap_block_size(narrow.Text()), 6u);

    _guardchar<wchar_t> wide;
    wide.AssignN(L"xyz", 3);
    EXPECT_STREQ(wide.Text(), L"xyz");
    wide.AssignN(nullptr, 3);
    EXPECT_EQ(wide.Text(), nullptr);
}

TEST(GuardChar, AllocateGivesZeroedUnitsWithoutExtraTerminator)
{
    _guardchar<wchar_t> text;
    text.Allocate(4);
    ASSERT_NE(text.Text(), nullptr);
    EXPECT_EQ(heap_block_size(text.Text()), 4 * sizeof(wchar_t));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(text.Text()[i], 0);
    wcscpy(text.Buffer(), L"abc");
    EXPECT_STREQ(text.Text(), L"abc");
    text.Allocate(0);
    EXPECT_EQ(text.Text(), nullptr);

    text.Allocate(0x7FFFFFFF);
    EXPECT_EQ(text.Text(), nullptr);
}

TEST(GuardChar, ArraysOfStringsReleaseEveryText)
{
    cHeapBalance balance;
    _classbuf<_guardchar<wchar_t>> strings(3);
    strings[0].Assign(L"one");
    strings[2].Assign(L"three");
    strings.Resize(5);
    strings[4].Assign(L"five");
}

TEST(Exception, CopyOwnsItsOwnTexts)
{
    cException original(L"file.h", 5, 9, L"message");
    cException copy(original);
    original.message.Assign(L"changed");
    EXPECT_STREQ(copy.message.Text(), L"message");
    EXPECT_STREQ(copy.source_file.Text(), L"file.h");
    EXPECT_EQ(copy.code, 9u);
    EXPECT_EQ(copy.line, 5u);
}
