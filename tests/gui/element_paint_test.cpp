#include "gui/child_element.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/gui/element_test_canvas.h"

namespace {

// Paints its whole canvas in one colour and notes that it painted.
class cFillElement : public cChildElement {
public:
    cFillElement(const char* element_name, uint32_t fill_colour, std::vector<std::string>* paint_log)
        : name(element_name), colour(fill_colour), log(paint_log)
    {
    }
    void Paint(cCanvas* canvas) override
    {
        if (log)
            log->push_back(name);
        cRect whole{0, 0, canvas->GetWidth(), canvas->GetHeight()};
        canvas->FillRect(&whole, colour, colour);
    }
    uint32_t DefaultBorder() override { return border_default; }
    bool DefaultBackBuffer() override { return back_buffer_default; }

    const char* name;
    uint32_t colour;
    std::vector<std::string>* log;
    uint32_t border_default = 0;
    bool back_buffer_default = false;
};

// Answers its background itself and remembers what it was asked for.
class cBackdropElement : public cChildElement {
public:
    bool PaintBackground(cCanvas* canvas, const cRect* rect) override
    {
        asked.push_back(*rect);
        cRect whole{0, 0, canvas->GetWidth(), canvas->GetHeight()};
        return canvas->FillRect(&whole, 0xABCDEF, 0xABCDEF);
    }
    std::vector<cRect> asked;
};

// A root as the window layer leaves it: created, then sized.
void start_root(cChildElement& root, int32_t width, int32_t height)
{
    root.Create();
    root.SetSize(width, height, false);
}

bool inside(const cRect& r, int32_t x, int32_t y)
{
    return x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height;
}

}  // namespace

TEST(ElementPaint, LowerAddressIsPaintedFirstAndStaysOnTop)
{
    std::vector<std::string> order;
    cFillElement root("root", 0x111111, &order);
    start_root(root, 100, 60);
    cFillElement* first = new cFillElement("a", 0x0000FF, &order);
    cFillElement* second = new cFillElement("b", 0x00FF00, &order);
    const cRect first_rect{10, 10, 40, 30};
    const cRect second_rect{30, 20, 40, 30};
    ASSERT_TRUE(root.AddChild(first, first_rect.x, first_rect.y, first_rect.width, first_rect.height));
    ASSERT_TRUE(root.AddChild(second, second_rect.x, second_rect.y, second_rect.width, second_rect.height));

    cGridCanvas canvas(100, 60);
    root.PaintTree(&canvas);

    // The expectation: the lower-addressed child wins where the two overlap.
    cFillElement* low = first < second ? first : second;
    cFillElement* high = first < second ? second : first;
    EXPECT_EQ(order, (std::vector<std::string>{"root", low->name, high->name}));
    cRect low_rect = low->GetBounds();
    cRect high_rect = high->GetBounds();
    int wrong = 0;
    for (int32_t y = 0; y < 60; ++y) {
        for (int32_t x = 0; x < 100; ++x) {
            uint32_t expected = inside(low_rect, x, y) ? low->colour : inside(high_rect, x, y) ? high->colour : 0x111111;
            wrong += canvas.Pixel(x, y) != expected;
        }
    }
    EXPECT_EQ(wrong, 0);
    delete first;
    delete second;
}

TEST(ElementPaint, ChildrenStayInsideTheParentsBorder)
{
    cFillElement root("root", 0x111111, nullptr);
    start_root(root, 50, 50);
    cFillElement panel("panel", 0x222222, nullptr);
    panel.border_default = 2;
    ASSERT_TRUE(root.AddChild(&panel, 10, 10, 20, 20));
    cFillElement child("child", 0x333333, nullptr);
    ASSERT_TRUE(panel.InsertChild(&child, -5, -5, 40, 40, 0));  // reaches past the panel on every side

    cGridCanvas canvas(50, 50);
    root.PaintTree(&canvas);
    for (int32_t y = 0; y < 50; ++y) {
        for (int32_t x = 0; x < 50; ++x) {
            uint32_t expected = 0x111111;
            if (inside(cRect{12, 12, 16, 16}, x, y))
                expected = 0x333333;
            else if (inside(cRect{10, 10, 20, 20}, x, y))
                expected = 0x222222;
            ASSERT_EQ(canvas.Pixel(x, y), expected) << x << "," << y;
        }
    }
}

TEST(ElementPaint, DisabledPaintingHidesTheSubtreeButHideDoesNot)
{
    std::vector<std::string> order;
    cFillElement root("root", 0x111111, &order);
    start_root(root, 40, 40);
    cFillElement hidden("hidden", 0x222222, &order);
    cFillElement unpainted("unpainted", 0x333333, &order);
    cFillElement grandchild("grandchild", 0x444444, &order);
    ASSERT_TRUE(root.AddChild(&hidden, 0, 0, 10, 10));
    ASSERT_TRUE(root.AddChild(&unpainted, 20, 20, 10, 10));
    ASSERT_TRUE(unpainted.AddChild(&grandchild, 0, 0, 5, 5));
    hidden.Hide(false);
    unpainted.DisablePainting(false);

    cGridCanvas canvas(40, 40);
    root.PaintTree(&canvas);
    EXPECT_EQ(order, (std::vector<std::string>{"root", "hidden"}));
    EXPECT_EQ(canvas.Pixel(5, 5), 0x222222u);
    EXPECT_EQ(canvas.Pixel(22, 22), 0x111111u);  // the parent shows through
}

TEST(ElementPaint, TransparentChildShowsItsParentsBackground)
{
    cChildElement root;
    start_root(root, 30, 30);
    root.SetBackgroundColour(0x123456);
    cChildElement child;
    ASSERT_TRUE(root.AddChild(&child, 5, 5, 10, 10));
    child.SetTransparent(true);

    cGridCanvas canvas(30, 30);
    root.PaintTree(&canvas);
    EXPECT_EQ(canvas.Pixel(5, 5), 0x123456u);
    EXPECT_EQ(canvas.Pixel(14, 14), 0x123456u);
    EXPECT_EQ(canvas.Pixel(15, 15), 0u);  // the root paints nothing of its own
    EXPECT_EQ(canvas.Pixel(4, 4), 0u);
}

TEST(ElementPaint, ParentIsAskedForItsBackgroundUnderTheChild)
{
    cBackdropElement root;
    start_root(root, 30, 30);
    cChildElement child;
    ASSERT_TRUE(root.AddChild(&child, 7, 9, 10, 10));
    child.SetTransparent(true);

    cGridCanvas canvas(30, 30);
    root.PaintTree(&canvas);
    ASSERT_EQ(root.asked.size(), 1u);
    EXPECT_EQ(root.asked[0].x, 7);
    EXPECT_EQ(root.asked[0].y, 9);
    EXPECT_EQ(root.asked[0].width, 10);
    EXPECT_EQ(canvas.Pixel(8, 10), 0xABCDEFu);

    // An element's own background request of a transparent element climbs too.
    cGridCanvas other(10, 10);
    const cRect corner{1, 2, 3, 4};
    EXPECT_TRUE(child.EraseBackground(&other, &corner));
    ASSERT_EQ(root.asked.size(), 2u);
    EXPECT_EQ(root.asked[1].x, 8);
    EXPECT_EQ(root.asked[1].y, 11);
    EXPECT_FALSE(child.EraseBackground(nullptr, &corner));
    EXPECT_FALSE(child.DrawBackground(&other, nullptr));
}

TEST(ElementPaint, BackBufferPaintsTheSameThroughAnOffscreenCanvas)
{
    for (bool refuse : {false, true}) {
        cFillElement root("root", 0x111111, nullptr);
        start_root(root, 20, 20);
        cFillElement child("child", 0x00AA00, nullptr);
        child.back_buffer_default = true;
        ASSERT_TRUE(root.AddChild(&child, 5, 5, 6, 4));
        EXPECT_TRUE(child.GetBackBuffer());

        cGridCanvas canvas(20, 20);
        canvas.refuse_offscreen = refuse;
        root.PaintTree(&canvas);
        std::vector<std::string>& log = canvas.Log();
        EXPECT_NE(std::find(log.begin(), log.end(), "offscreen 6x4"), log.end());
        EXPECT_EQ(canvas.Pixel(5, 5), 0x00AA00u) << refuse;
        EXPECT_EQ(canvas.Pixel(10, 8), 0x00AA00u) << refuse;
        EXPECT_EQ(canvas.Pixel(11, 9), 0x111111u) << refuse;
    }
}

TEST(ElementPaint, ChildOutsideTheParentGetsNoCanvas)
{
    std::vector<std::string> order;
    cFillElement root("root", 0x111111, &order);
    start_root(root, 20, 20);
    cFillElement child("child", 0x222222, &order);
    ASSERT_TRUE(root.AddChild(&child, 25, 0, 5, 5));
    cGridCanvas canvas(20, 20);
    root.PaintTree(&canvas);
    EXPECT_EQ(order, std::vector<std::string>{"root"});
    for (const std::string& entry : canvas.Log())
        EXPECT_NE(entry.substr(0, 3), "sub");
    root.PaintTree(nullptr);
}

namespace {

class cScrolledElement : public cChildElement {
public:
    cPoint GetScrollOrigin() override { return cPoint{-10, -4}; }
};

}  // namespace

TEST(ElementPaint, ScrolledChildrenMoveAndFixedOnesStay)
{
    cScrolledElement root;
    start_root(root, 40, 20);
    cFillElement scrolling("scrolling", 0x0000AA, nullptr);
    cFillElement fixed("fixed", 0x00AA00, nullptr);
    ASSERT_TRUE(root.InsertChild(&scrolling, 15, 6, 5, 5, 0));
    ASSERT_TRUE(root.InsertChild(&fixed, 30, 10, 5, 5, 1));
    cGridCanvas canvas(40, 20);
    root.PaintTree(&canvas);
    EXPECT_EQ(canvas.Pixel(5, 2), 0x0000AAu);
    EXPECT_EQ(canvas.Pixel(9, 6), 0x0000AAu);
    EXPECT_EQ(canvas.Pixel(10, 7), 0u);
    EXPECT_EQ(canvas.Pixel(30, 10), 0x00AA00u);
    EXPECT_EQ(canvas.Pixel(20, 6), 0u);
}
