// Removing older products from their list: first, middle, last, only, and
// an entry of another list, which changes nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/shell/older_products.h"

namespace {

// A list of entries named by the letters of names.
cOlderProductList make_list(const std::string& names)
{
    cOlderProductList list;
    for (char c : names) {
        cOlderProduct* entry = new cOlderProduct;
        wchar_t name[2] = {wchar_t(c), 0};
        entry->name.Assign(name);
        (list.last ? list.last->next : list.first) = entry;
        list.last = entry;
    }
    return list;
}

std::string names_of(const cOlderProductList& list)
{
    std::string names;
    for (cOlderProduct* entry = list.first; entry; entry = entry->next)
        names += char(entry->name.Text()[0]);
    if (list.last)
        names += std::string("|") + char(list.last->name.Text()[0]);
    return names;
}

void destroy(cOlderProductList& list)
{
    while (list.first)
        uninstall_list_remove(list, list.first);
}

}  // namespace

TEST(OlderProducts, RemovalUnlinksOneEntryOrNothing)
{
    struct Case {
        std::string names;
        int index;  // of the entry to remove; -1 for an entry of another list
        bool removed;
        std::string left;
    } cases[] = {
        {"abc", 0, true, "bc|c"}, {"abc", 1, true, "ac|c"}, {"abc", 2, true, "ab|b"},
        {"a", 0, true, ""},       {"abc", -1, false, "abc|c"}, {"", -1, false, ""},
    };
    for (const Case& c : cases) {
        cOlderProductList list = make_list(c.names);
        cOlderProductList other = make_list("x");
        cOlderProduct* entry = other.first;
        for (int i = 0; c.index >= 0 && i <= c.index; ++i)
            entry = i == 0 ? list.first : entry->next;
        EXPECT_EQ(uninstall_list_remove(list, entry), c.removed) << c.names << " " << c.index;
        EXPECT_EQ(names_of(list), c.left) << c.names << " " << c.index;
        EXPECT_EQ(names_of(other), "x|x") << "the other list is untouched";
        destroy(list);
        destroy(other);
    }
}
