#include "sidoc/doc_loader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "gui/font.h"
#include "tests/gui/canvas_probe.h"
#include "tests/support/test_data.h"

namespace {

std::vector<uint8_t> fixture(const char* name)
{
    std::string bytes = read_test_data(name);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

bool load(cSiDocLoader& loader, const std::vector<uint8_t>& blob)
{
    return loader.Load(blob.data(), int32_t(blob.size()));
}

std::vector<cSiDocBox*> children_of(cSiDocContainer* container)
{
    std::vector<cSiDocBox*> boxes;
    for (cSiDocBoxList::Node* node = container->children.first; node; node = node->next)
        boxes.push_back(node->element);
    return boxes;
}

// Lays a loaded document out on a canvas as the viewer does.
void paint(cSiDocLoader& loader, cCanvas& canvas)
{
    for (auto* node = tree_first_node(loader.languages); node; node = tree_next_node(node)) {
        cSiDocPaintContext context = {nullptr, white, black, 0, 0, canvas.GetWidth(), -1, nullptr};
        cSize size;
        node->value.Measure(&canvas, context, &size);
        node->value.Paint(&canvas, context, &size);
    }
}

}  // namespace

// A blob written by an encoder of the format apart from the program: every
// box type, two languages, the tables and the picture.
TEST(DocLoader, ReadsEveryBoxAndTable)
{
    cSiDocLoader loader;
    ASSERT_TRUE(load(loader, fixture("loader_sample.bin")));

    ASSERT_NE(tree_find_value(loader.images, 0), nullptr);
    EXPECT_EQ(tree_find_value(loader.images, 1), nullptr);  // an empty entry takes no index
    cImageBuffer* picture = tree_find_value(loader.images, 0);
    ASSERT_EQ(picture->GetWidth(), 40);
    ASSERT_EQ(picture->GetHeight(), 24);
    EXPECT_EQ(picture->GetPixels()[23 * 40] & 0xFFFFFF, 0xDC2828u);  // top left, red
    EXPECT_EQ(picture->GetPixels()[39] & 0xFFFFFF, uint32_t(195 << 16 | 115 << 8 | 90));  // bottom right

    std::vector<cSiDocBox*> top = children_of(tree_find_value(loader.languages, 0));
    ASSERT_EQ(top.size(), 1u);
    auto* paragraph = dynamic_cast<cSiDocContainer*>(top[0]);
    ASSERT_NE(paragraph, nullptr);
    EXPECT_EQ(paragraph->margin_left + paragraph->margin_right * 10 + paragraph->margin_top * 100 +
                  paragraph->margin_bottom * 1000,
              8765);
    EXPECT_EQ(paragraph->width, 300);
    EXPECT_EQ(paragraph->height, -1);
    EXPECT_EQ(paragraph->text_colour, 0x123456u);
    EXPECT_EQ(paragraph->alignment, 3);
    EXPECT_EQ(paragraph->break_before, 1);

    std::vector<cSiDocBox*> boxes = children_of(paragraph);
    ASSERT_EQ(boxes.size(), 6u);
    auto* title = dynamic_cast<cSiDocText*>(boxes[0]);
    ASSERT_NE(title, nullptr);
    EXPECT_STREQ(title->text.Text(), L"Title");
    cFontObject* font = title->font_provider->GetFont(title->style);
    ASSERT_NE(font, nullptr);
    EXPECT_STREQ(font->face.Text(), L"Verdana");
    EXPECT_TRUE(font->bold && font->italic && font->underline);
    EXPECT_EQ(font->height, 16);
    EXPECT_EQ(loader.GetFont(2), nullptr);
    EXPECT_EQ(boxes[1]->break_before, 1);
    auto* link = dynamic_cast<cSiDocLink*>(boxes[2]);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->link, tree_find_value(loader.strings, 1));
    EXPECT_STREQ(link->link->Text(), L"x");
    EXPECT_EQ(dynamic_cast<cSiDocImage*>(boxes[3])->image, picture);
    auto* image_link = dynamic_cast<cSiDocImageLink*>(boxes[4]);
    ASSERT_NE(image_link, nullptr);
    EXPECT_STREQ(image_link->link->Text(), L"https://example.org/");
    EXPECT_EQ(boxes[5]->width * 1000 + boxes[5]->height, 30020);
    EXPECT_EQ(boxes[5]->background, 0x00FF00u);

    std::vector<cSiDocBox*> russian = children_of(tree_find_value(loader.languages, 1));
    ASSERT_EQ(russian.size(), 1u);
    EXPECT_STREQ(dynamic_cast<cSiDocText*>(russian[0])->text.Text(), L"\x043F\x0440\x0438\x0432\x0435\x0442");
}

// Blobs crafted field by field: each is taken or refused as its line says.
// A style of 4,096 pixels or more is refused: no compiler writes one, and
// painting it stalls for minutes.
TEST(DocLoader, TakesWhatTheFormatAllowsAndRefusesTheRest)
{
    for (const auto& record : read_test_records("loader_cases.txt")) {
        cSiDocLoader loader;
        EXPECT_EQ(load(loader, fixture(record[0].c_str())), record[1] == "1") << record[0];
    }
}

// Boxes that exactly fill the line share it; one pixel more breaks it.
TEST(DocLoader, BoxesAsWideAsTheLineShareIt)
{
    for (const auto& record : read_test_records("layout_cases.txt")) {
        SCOPED_TRACE(record[0]);
        cSiDocLoader loader;
        ASSERT_TRUE(load(loader, fixture(record[0].c_str())));
        int32_t width = std::stoi(record[1]);
        auto canvas = make_canvas(width, 30, white);
        cSiDocContainer* root = tree_find_value(loader.languages, 0);
        cSiDocPaintContext context = {nullptr, white, black, 0, 0, width, -1, nullptr};
        cSize size = {0, 0};
        root->Measure(canvas.get(), context, &size);
        EXPECT_EQ(size.height, std::stoi(record[2]));
        root->Paint(canvas.get(), context, &size);
        EXPECT_EQ(read_pixels(*canvas).At(std::stoi(record[3]), std::stoi(record[4])) & 0xFFFFFF, green);
    }
}

// Containers nested up to the limit load; deeper trees are refused before
// anything recurses over them.
TEST(DocLoader, RefusesTreesNestedTooDeep)
{
    cSiDocLoader loader;
    EXPECT_TRUE(load(loader, fixture("nest_64.bin")));
    auto canvas = make_canvas(200, 100, white);
    paint(loader, *canvas);
    EXPECT_LT(read_pixels(*canvas).Count(white), 200 * 100);
    EXPECT_FALSE(load(loader, fixture("nest_65.bin")));
    EXPECT_FALSE(load(loader, fixture("nest_10000.bin")));
}

TEST(DocLoader, RefusesEveryTruncation)
{
    std::vector<uint8_t> blob = fixture("loader_sample.bin");
    cSiDocLoader loader;
    for (size_t size = 0; size < blob.size(); ++size)
        EXPECT_FALSE(loader.Load(blob.data(), int32_t(size))) << size;
    EXPECT_TRUE(load(loader, blob));
    std::vector<uint8_t> other_magic = blob;
    other_magic[7] = 'G';
    EXPECT_FALSE(load(loader, other_magic));
}

// Damaged blobs either load or are refused; whatever loads lays out.
TEST(DocLoader, SurvivesBitFlips)
{
    std::vector<uint8_t> blob = fixture("loader_sample.bin");
    std::mt19937 random(14);
    auto canvas = make_canvas(320, 200);
    cSiDocLoader loader;
    int loaded = 0;
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> damaged = blob;
        for (int flips = 1 + round % 3; flips > 0; --flips) {
            size_t at = random() % damaged.size();
            damaged[at] ^= uint8_t(1 << (random() % 8));
        }
        if (load(loader, damaged)) {
            ++loaded;
            paint(loader, *canvas);
        }
    }
    EXPECT_GT(loaded, 0);
    EXPECT_LT(loaded, 3000);
}
