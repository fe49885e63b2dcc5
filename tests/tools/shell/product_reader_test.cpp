// The main window's reader on prepared stores: which records it lists and
// in what order, what it reads of each, the icons (expected pixels drawn by
// product_icons.py), and the offers of a real server on 127.0.0.1.
#include <winsock2.h>
#include <windows.h>

#include "tools/shell/product_reader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "base/ci_app_full_config.h"
#include "tests/support/file_access.h"
#include "tests/support/idle_job.h"
#include "tests/support/test_data.h"
#include "tests/tools/shell/product_stores.h"
#include "tests/tools/shell/update_test_server.h"
#include "pict/pict_base.h"
#include "tools/shell/default_icons.h"
#include "tools/shell/product_icons.h"
#include "tools/shell/record_store.h"

namespace {

// The icon's pixels as product_icons.py drew them.
std::vector<uint32_t> pixels_of(const cImageBuffer& image)
{
    const uint32_t* p = image.GetPixels();
    return p ? std::vector<uint32_t>(p, p + image.GetPixelCount()) : std::vector<uint32_t>();
}

std::vector<uint32_t> default_icon(int size)
{
    const uint32_t* p = size == 16 ? default_icon_16 : default_icon_48;
    return std::vector<uint32_t>(p, p + size * size);
}

std::wstring text(const _guardchar<wchar_t>& t)
{
    return t.Text() ? t.Text() : L"";
}

struct Listed {
    std::vector<std::wstring> codes;
    std::vector<const cInstalledProduct*> products;
};

void read(cProductList& products, const cJob* job = nullptr, bool with_server = true)
{
    cCIAppFullConfig config;
    ASSERT_TRUE(config.OpenStore(L"qrv"));
    read_installed_products(&config, with_server ? update_server_address().c_str() : nullptr, job, products);
}

std::vector<std::wstring> codes_of(const cProductList& products)
{
    std::vector<std::wstring> codes;
    for (auto* node = products.first; node; node = node->next)
        codes.push_back(text(node->element.code_name));
    return codes;
}

const cInstalledProduct* find(const cProductList& products, const wchar_t* code)
{
    for (auto* node = products.first; node; node = node->next)
        if (text(node->element.code_name) == code)
            return &node->element;
    return nullptr;
}

// Which products are listed, and which a run with administrator rights
// leaves to their user (list_per_user_products), the manager naming them.
TEST(ProductReader, WhichRecordsAreListedAndInWhatOrder)
{
    struct Case {
        const char* what;
        std::vector<std::pair<ProductRecord, int>> records;  // where: 1 common, 2 per-user, 3 both
        std::vector<std::wstring> listed;
        std::vector<std::string> left_to_their_user;
        bool standard_user = false;  // a run without administrator rights
    } cases[] = {
        {"no products", {}, {}, {}},
        {"a record without a version is left out",
         {{{"bravo", packed_version(1, 0)}, 1}, {{"alpha"}, 1}, {{"charlie", packed_version(2, 0)}, 1}},
         {L"bravo", L"charlie"},
         {}},
        {"both stores under an administrator's run: the common store's alone, in key order",
         {{{"delta", packed_version(1, 0)}, 2}, {{"both", packed_version(1, 0)}, 3}, {{"common", packed_version(1, 0)}, 1},
          {{"apex", packed_version(1, 0)}, 2}},
         {L"both", L"common"},
         {"apex", "delta"}},
        {"both stores under a run without administrator rights: the common store's first, each in key order",
         {{{"delta", packed_version(1, 0)}, 2}, {{"both", packed_version(1, 0)}, 3}, {{"common", packed_version(1, 0)}, 1},
          {{"apex", packed_version(1, 0)}, 2}},
         {L"both", L"common", L"apex", L"delta"},
         {},
         true},
    };
    for (const Case& c : cases) {
        ProductWorld world;
        RedirectedEnv run;
        if (c.standard_user)
            run.Set(L"PELMARO_TEST_STANDARD_USER", L"1");
        for (const auto& record : c.records) {
            if (record.second & 1)
                world.Write(record.first, true);
            if (record.second & 2)
                world.Write(record.first, false);
        }
        cProductList products;
        read(products, nullptr, false);
        EXPECT_EQ(codes_of(products), c.listed) << c.what;
        cCIAppFullConfig config;
        ASSERT_TRUE(config.OpenStore(L"qrv"));
        cRecordNames left;
        list_per_user_products(config, left);
        std::vector<std::string> names;
        for (auto* node = left.first; node; node = node->next)
            names.push_back(node->element.Text());
        EXPECT_EQ(names, c.left_to_their_user) << c.what;
    }
}

// A record in both stores is read whole from the common store, never
// mixed value by value with the per-user one's; a common store that others
// may change gives no record to list.
TEST(ProductReader, ARecordInBothStoresIsReadWholeFromTheCommonStore)
{
    ProductWorld world;
    ProductRecord common{"twice", packed_version(1, 0)};
    common.name = L"Old name";
    ProductRecord user{"twice", packed_version(2, 5)};
    user.name = L"New name";
    user.launch = {{L"Steered", L"C:/elsewhere/run.exe"}};
    world.Write(common, true);
    world.Write(user, false);
    cProductList products;
    read(products, nullptr, false);
    ASSERT_EQ(codes_of(products), std::vector<std::wstring>{L"twice"});
    EXPECT_EQ(products.first->element.installed_version, uint64_t(packed_version(1, 0)));
    EXPECT_EQ(text(products.first->element.name), L"Old name");
    EXPECT_FALSE(products.first->element.launch_entries.first);

    let_everyone_write(world.Store(true) + L"/install");
    cProductList none;
    read(none, nullptr, false);
    EXPECT_TRUE(codes_of(none).empty());
}

TEST(ProductReader, WhatIsReadOfARecord)
{
    ProductWorld world;
    ProductRecord full{"full", packed_version(3, 1, 4, 1)};
    full.name = L"Full Product ä";
    full.utime = 1700000000;  // 2023-11-14 22:13:20 UTC
    full.publisher = L"http://example.org/";
    full.support = L"http://example.org/help";
    full.updates = L"http://example.org/news";
    full.launch = {{L"Start", L"C:/p/a.exe"}, {L"Manual", L"\"C:/p/a.exe\" -m"}, {L"", L"C:/p/hidden.exe"},
                   {L"After the gap", L"C:/p/c.exe"}};
    world.Write(full);
    ProductRecord bare{"bare", packed_version(1, 2, 3)};
    bare.utime = 0;
    world.Write(bare);
    cProductList products;
    read(products, nullptr, false);
    const cInstalledProduct* f = find(products, L"full");
    const cInstalledProduct* b = find(products, L"bare");
    ASSERT_TRUE(f && b);
    EXPECT_EQ(text(f->name), L"Full Product ä");
    EXPECT_EQ(text(f->version_text), L"3.1.4.1");
    EXPECT_EQ(text(f->install_date), L"14.11.2023");
    EXPECT_EQ(text(f->publisher_url), L"http://example.org/");
    EXPECT_EQ(text(f->support_url), L"http://example.org/help");
    EXPECT_EQ(text(f->updates_url), L"http://example.org/news");
    std::vector<std::wstring> launch;
    for (auto* node = f->launch_entries.first; node; node = node->next)
        launch.push_back(text(node->element.name) + L"=" + text(node->element.command));
    EXPECT_EQ(launch, (std::vector<std::wstring>{L"Start=C:/p/a.exe", L"Manual=\"C:/p/a.exe\" -m"}))
        << "the entries up to the first empty one";
    EXPECT_EQ(text(b->version_text), L"1.2.3");
    EXPECT_EQ(text(b->install_date), L"-");
    EXPECT_EQ(text(b->name), L"");
    EXPECT_EQ(b->launch_entries.first, nullptr);
    EXPECT_EQ(b->offered_version, no_version);
}

TEST(ProductReader, IconsAtBothSizesOrTheDefaultOnes)
{
    struct Case {
        const char* what;
        std::wstring icon;
        std::vector<uint32_t> small, large;
    } cases[] = {
        {"an executable with both sizes", test_program("product_a.exe"), drawn_icon("product_a", 16),
         drawn_icon("product_a", 48)},
        {"another one", test_program("product_b.exe"), drawn_icon("product_b", 16), drawn_icon("product_b", 48)},
        {"an icon of another size, scaled", test_program("odd_size.exe"), drawn_icon("odd_size", 16),
         drawn_icon("odd_size", 48)},
        {"no icon recorded", L"", default_icon(16), default_icon(48)},
        {"a missing file", test_program("no_such_program.exe"), default_icon(16), default_icon(48)},
        {"a file that is no executable or picture", test_program("product_icons.txt"), default_icon(16),
         default_icon(48)},
    };
    for (const Case& c : cases) {
        ProductWorld world;
        ProductRecord record{"iconic", packed_version(1, 0)};
        record.icon = c.icon;
        world.Write(record);
        cProductList products;
        read(products, nullptr, false);
        ASSERT_NE(products.first, nullptr) << c.what;
        const cInstalledProduct& product = products.first->element;
        EXPECT_EQ(product.icon_small.GetWidth(), 16) << c.what;
        EXPECT_EQ(product.icon_large.GetWidth(), 48) << c.what;
        EXPECT_TRUE(pixels_of(product.icon_small) == c.small) << c.what;
        EXPECT_TRUE(pixels_of(product.icon_large) == c.large) << c.what;
    }
}

TEST(ProductReader, AnIconPictureIsCopiedAtTheWantedSizeOnly)
{
    struct Case {
        int width, height;   // the picture's size
        int pixels;          // pixels it really holds
        int wanted;
        bool copied;
    } cases[] = {
        {16, 16, 256, 16, true},
        {32, 32, 1024, 16, true},
        {32, 32, 1024, 48, true},
        {7, 100, 700, 48, true},
        {48, 48, 100, 48, false},  // fewer pixels than its size says
        {0, 0, 0, 16, false},
    };
    for (const Case& c : cases) {
        cPictDummy picture;
        if (c.pixels) {
            ASSERT_TRUE(picture.AllocPixels32(c.pixels, 1));
            for (int i = 0; i < c.pixels; ++i)
                picture.pixels32[i] = 0xFF3366CC;
        }
        picture.width = c.width;
        picture.height = c.height;
        cImageBuffer out;
        out.SetPixels(default_icon_16, 16, 16, false);
        bool copied = copy_icon_picture(&picture, c.wanted, c.wanted, out);
        EXPECT_EQ(copied, c.copied) << c.width << "x" << c.height << " to " << c.wanted;
        if (copied) {
            EXPECT_EQ(pixels_of(out), std::vector<uint32_t>(size_t(c.wanted * c.wanted), 0xFF3366CCu));
        } else {
            EXPECT_EQ(pixels_of(out), default_icon(16)) << "untouched";
        }
    }
}

TEST(ProductReader, OffersOfTheUpdateServer)
{
    ASSERT_NE(http_test_port(), 0u) << "run through the HTTP test driver";
    ProductWorld world;
    struct Case {
        const char* code;
        int64_t installed;
        std::string reply;  // empty: the server has none (404)
        uint64_t offered;
        bool update;
    } cases[] = {
        {"newer", packed_version(1, 0), "2.0\r\nhttp://h/n.exe\r\nhttp://h/n\r\nNotes\r\n", uint64_t(packed_version(2, 0)), true},
        {"same", packed_version(2, 1), "2.1\r\nhttp://h/s.exe\r\nhttp://h/s\r\n", uint64_t(packed_version(2, 1)), false},
        {"older", packed_version(3, 0), "2.9.9\r\nhttp://h/o.exe\r\nhttp://h/o\r\n", uint64_t(packed_version(2, 9, 9)), false},
        {"unknown", packed_version(1, 0), "", no_version, false},
        {"halfreply", packed_version(1, 0), "9.0\r\nhttp://h/x.exe\r\n", no_version, false},
    };
    for (const Case& c : cases) {
        world.Write(ProductRecord{c.code, c.installed});
        if (!c.reply.empty())
            serve_check(c.code, c.reply);
    }
    cProductList products;
    read(products);
    for (const Case& c : cases) {
        std::wstring code(c.code, c.code + strlen(c.code));
        const cInstalledProduct* product = find(products, code.c_str());
        ASSERT_NE(product, nullptr) << c.code;
        EXPECT_EQ(product->offered_version, c.offered) << c.code;
        EXPECT_EQ(product->HasUpdate(), c.update) << c.code;
    }
    const cInstalledProduct* newer = find(products, L"newer");
    EXPECT_EQ(text(newer->installer_address), L"http://h/n.exe");
    EXPECT_EQ(text(newer->web_page), L"http://h/n");
    EXPECT_EQ(text(newer->notes), L"Notes\r\n");
}

TEST(ProductReader, AStopEndsTheChecksAtOnce)
{
    ProductWorld world;
    // "silent" never answers its check: only the stop ends the wait.
    world.Write(ProductRecord{"silent", packed_version(1, 0)});
    world.Write(ProductRecord{"zulu", packed_version(1, 0)});
    serve_check("zulu", "2.0\r\nhttp://h/z.exe\r\nhttp://h/z\r\n");
    cIdleJob job;
    std::thread stopper([&]() {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        job.RequestStop();
    });
    auto start = std::chrono::steady_clock::now();
    cProductList products;
    read(products, &job);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    stopper.join();
    EXPECT_LT(seconds, 2.0);
    EXPECT_EQ(codes_of(products), (std::vector<std::wstring>{L"silent", L"zulu"}));
    EXPECT_EQ(find(products, L"silent")->offered_version, no_version);
    EXPECT_EQ(find(products, L"zulu")->offered_version, uint64_t(packed_version(2, 0)))
        << "zulu's check ran beside the silent one";
}

// Without room for the checks, the products are still listed, without
// the offers the server has for them.
TEST(ProductReader, WithoutMemoryForTheChecksTheProductsAreListedWithoutOffers)
{
    ASSERT_NE(http_test_port(), 0u) << "run through the HTTP test driver";
    ProductWorld world;
    world.Write(ProductRecord{"alpha", packed_version(1, 0)});
    world.Write(ProductRecord{"bravo", packed_version(1, 0)});
    serve_check("alpha", "2.0\r\nhttp://h/a.exe\r\nhttp://h/a\r\n");
    SetEnvironmentVariableW(L"PELMARO_TEST_NO_CHECK_MEMORY", L"1");
    cProductList products;
    read(products);
    SetEnvironmentVariableW(L"PELMARO_TEST_NO_CHECK_MEMORY", nullptr);
    EXPECT_EQ(codes_of(products), (std::vector<std::wstring>{L"alpha", L"bravo"}));
    for (auto* node = products.first; node; node = node->next)
        EXPECT_EQ(node->element.offered_version, no_version) << text(node->element.code_name);
    EXPECT_EQ(update_server_log().find("softwareid=alpha"), std::string::npos) << "a check was made";
}

// More products than checks run at once, and a server that never answers:
// the checks share one time limit (15 s), so the reading ends after it,
// not after one limit per turn of 64.
TEST(ProductReader, ASilentServerHoldsEveryCheckForOneLimitWhateverTheirNumber)
{
    ProductWorld world;
    const int count = 70;
    for (int i = 0; i < count; ++i) {
        char code[16];
        snprintf(code, sizeof code, "silent%02d", i);
        world.Write(ProductRecord{code, packed_version(1, 0)});
    }
    auto start = std::chrono::steady_clock::now();
    cProductList products;
    read(products);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << "read after " << seconds << " s\n";
    EXPECT_LT(seconds, 25.0);
    EXPECT_EQ(codes_of(products).size(), size_t(count));
    for (auto* node = products.first; node; node = node->next)
        EXPECT_EQ(node->element.offered_version, no_version) << text(node->element.code_name);
}

}  // namespace
