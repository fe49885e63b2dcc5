#include "gui/child_element.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "gui/offscreen_canvas.h"
#include "tests/gui/canvas_probe.h"
#include "tests/gui/element_test_host.h"

namespace {

// Paints its whole canvas in one colour and notes that it painted.
class cFillElement : public cChildElement {
public:
    cFillElement(const char* element_name, uint32_t fill_colour, std::vector<std::string>* paint_log = nullptr)
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

// Paints no background and answers as it is told.
class cSilentBackdropElement : public cChildElement {
public:
    explicit cSilentBackdropElement(bool answer) : claims_painted(answer) {}
    bool PaintBackground(cCanvas*, const cRect*) override { return claims_painted; }
    bool claims_painted;
};

class cScrolledElement : public cChildElement {
public:
    cPoint GetScrollOrigin() override { return cPoint{-10, -4}; }
};

// An offscreen canvas, starting black, that notes the sub-canvases and
// offscreen canvases asked of it and refuses the latter when told.
class cNotingCanvas : public cWOffscreenCanvas {
public:
    cNotingCanvas(int32_t width, int32_t height)
    {
        EXPECT_TRUE(InitOffscreen(nullptr, width, height, -1, -1)) << width << " x " << height;
    }
    cCanvas* CreateSubCanvas(const cRect* rect) override
    {
        log.push_back("sub");
        return cWOffscreenCanvas::CreateSubCanvas(rect);
    }
    cCanvas* CreateOffscreen(int32_t width, int32_t height, int32_t source_x, int32_t source_y) override
    {
        log.push_back("offscreen " + std::to_string(width) + "x" + std::to_string(height));
        return refuse_offscreen ? nullptr : cWOffscreenCanvas::CreateOffscreen(width, height, source_x, source_y);
    }
    uint32_t Pixel(int32_t x, int32_t y) { return read_pixels(*this).At(x, y); }

    std::vector<std::string> log;
    bool refuse_offscreen = false;
};

// A root as the window layer leaves it: created, then sized to the canvas.
void start_root(cChildElement& root, cCanvas& canvas)
{
    root.Create();
    root.SetSize(canvas.GetWidth(), canvas.GetHeight(), false);
}

bool inside(const cRect& r, int32_t x, int32_t y)
{
    return inside(x, y, r);
}

// How many pixels of the canvas differ from the model's colour there.
int wrong_pixels(cCanvas& canvas, const std::function<uint32_t(int32_t, int32_t)>& model)
{
    cCanvasPixels pixels = read_pixels(canvas);
    int wrong = 0;
    for (int32_t y = 0; y < pixels.height; ++y) {
        for (int32_t x = 0; x < pixels.width; ++x)
            wrong += pixels.At(x, y) != model(x, y);
    }
    return wrong;
}

}  // namespace

TEST(ElementPaint, LowerAddressIsPaintedFirstAndStaysOnTop)
{
    std::vector<std::string> order;
    cFillElement root("root", 0x111111, &order);
    cNotingCanvas canvas(100, 60);
    start_root(root, canvas);
    cFillElement* first = new cFillElement("a", 0x0000FF, &order);
    cFillElement* second = new cFillElement("b", 0x00FF00, &order);
    ASSERT_TRUE(root.AddChild(first, 10, 10, 40, 30));
    ASSERT_TRUE(root.AddChild(second, 30, 20, 40, 30));
    root.PaintTree(&canvas);

    cFillElement* low = std::min(first, second);
    cFillElement* high = std::max(first, second);
    EXPECT_EQ(order, (std::vector<std::string>{"root", low->name, high->name}));
    EXPECT_EQ(wrong_pixels(canvas, [&](int32_t x, int32_t y) {
                  return inside(low->GetBounds(), x, y)    ? low->colour
                         : inside(high->GetBounds(), x, y) ? high->colour
                                                           : 0x111111u;
              }),
              0);
    delete first;
    delete second;
}

TEST(ElementPaint, ChildrenStayInsideTheParentsBorder)
{
    cFillElement root("root", 0x111111);
    cNotingCanvas canvas(50, 50);
    start_root(root, canvas);
    cFillElement panel("panel", 0x222222);
    cFillElement child("child", 0x333333);
    panel.border_default = 2;
    ASSERT_TRUE(root.AddChild(&panel, 10, 10, 20, 20));
    ASSERT_TRUE(panel.InsertChild(&child, -5, -5, 40, 40, 0));  // reaches past the panel on every side
    root.PaintTree(&canvas);
    EXPECT_EQ(wrong_pixels(canvas, [](int32_t x, int32_t y) {
                  return inside({12, 12, 16, 16}, x, y)   ? 0x333333u
                         : inside({10, 10, 20, 20}, x, y) ? 0x222222u
                                                          : 0x111111u;
              }),
              0);
}

TEST(ElementPaint, DisabledPaintingHidesTheSubtreeButHideDoesNot)
{
    std::vector<std::string> order;
    cFillElement root("root", 0x111111, &order);
    cNotingCanvas canvas(40, 40);
    start_root(root, canvas);
    cFillElement hidden("hidden", 0x222222, &order);
    cFillElement unpainted("unpainted", 0x333333, &order);
    cFillElement grandchild("grandchild", 0x444444, &order);
    ASSERT_TRUE(root.AddChild(&hidden, 0, 0, 10, 10));
    ASSERT_TRUE(root.AddChild(&unpainted, 20, 20, 10, 10));
    ASSERT_TRUE(unpainted.AddChild(&grandchild, 0, 0, 5, 5));
    hidden.Hide(false);
    unpainted.DisablePainting(false);
    root.PaintTree(&canvas);
    EXPECT_EQ(order, (std::vector<std::string>{"root", "hidden"}));
    EXPECT_EQ(canvas.Pixel(5, 5), 0x222222u);
    EXPECT_EQ(canvas.Pixel(22, 22), 0x111111u);  // the parent shows through
}

// Whether the parent paints no background of its own or claims one that
// drew nothing (a stretched image that failed), the child's back buffer,
// which starts black, shows the parent's background colour.
TEST(ElementPaint, TransparentChildShowsItsParentsBackground)
{
    for (bool claims_painted : {false, true}) {
        SCOPED_TRACE(claims_painted ? "background claimed" : "no background");
        cSilentBackdropElement root(claims_painted);
        cNotingCanvas canvas(30, 30);
        start_root(root, canvas);
        cChildElement child;
        root.SetBackgroundColour(0x123456);
        ASSERT_TRUE(root.AddChild(&child, 5, 5, 10, 10));
        child.SetTransparent(true);
        child.SetBackBuffer(true);
        root.PaintTree(&canvas);
        EXPECT_EQ(wrong_pixels(canvas, [](int32_t x, int32_t y) {
                      return inside({5, 5, 10, 10}, x, y) ? 0x123456u : 0u;  // the root paints nothing of its own
                  }),
                  0);
    }
}

TEST(ElementPaint, ParentIsAskedForItsBackgroundUnderTheChild)
{
    cBackdropElement root;
    cNotingCanvas canvas(30, 30);
    start_root(root, canvas);
    cChildElement child;
    ASSERT_TRUE(root.AddChild(&child, 7, 9, 10, 10));
    child.SetTransparent(true);
    root.PaintTree(&canvas);
    ASSERT_EQ(root.asked.size(), 1u);
    EXPECT_EQ(xywh(root.asked[0]), (cBox{7, 9, 10, 10}));
    EXPECT_EQ(canvas.Pixel(8, 10), 0xABCDEFu);

    // An element's own background request of a transparent element climbs too.
    cNotingCanvas other(10, 10);
    const cRect corner{1, 2, 3, 4};
    EXPECT_TRUE(child.EraseBackground(&other, &corner));
    ASSERT_EQ(root.asked.size(), 2u);
    EXPECT_EQ(xywh(root.asked[1]), (cBox{8, 11, 3, 4}));
    EXPECT_FALSE(child.EraseBackground(nullptr, &corner));
    EXPECT_FALSE(child.DrawBackground(&other, nullptr));
}

TEST(ElementPaint, BackBufferPaintsTheSameThroughAnOffscreenCanvasOrWithout)
{
    for (bool refuse : {false, true}) {
        SCOPED_TRACE(refuse ? "offscreen refused" : "offscreen given");
        cFillElement root("root", 0x111111);
        cNotingCanvas canvas(20, 20);
        start_root(root, canvas);
        root.SetBackBuffer(true);
        cFillElement child("child", 0x00AA00);
        child.back_buffer_default = true;
        ASSERT_TRUE(root.AddChild(&child, 5, 5, 6, 4));
        EXPECT_TRUE(child.GetBackBuffer());
        canvas.refuse_offscreen = refuse;
        root.PaintTree(&canvas);
        EXPECT_NE(std::find(canvas.log.begin(), canvas.log.end(), "offscreen 20x20"), canvas.log.end());
        EXPECT_EQ(wrong_pixels(canvas, [](int32_t x, int32_t y) {
                      return inside({5, 5, 6, 4}, x, y) ? 0x00AA00u : 0x111111u;
                  }),
                  0);
    }
}

TEST(ElementPaint, ChildOutsideTheParentGetsNoCanvas)
{
    std::vector<std::string> order;
    cFillElement root("root", 0x111111, &order);
    cNotingCanvas canvas(20, 20);
    start_root(root, canvas);
    cFillElement child("child", 0x222222, &order);
    ASSERT_TRUE(root.AddChild(&child, 25, 0, 5, 5));
    root.PaintTree(&canvas);
    EXPECT_EQ(order, std::vector<std::string>{"root"});
    EXPECT_EQ(std::count(canvas.log.begin(), canvas.log.end(), "sub"), 0);
    root.PaintTree(nullptr);
}

TEST(ElementPaint, ScrolledChildrenMoveAndFixedOnesStay)
{
    cScrolledElement root;
    cNotingCanvas canvas(40, 20);
    start_root(root, canvas);
    cFillElement scrolling("scrolling", 0x0000AA);
    cFillElement fixed("fixed", 0x00AA00);
    ASSERT_TRUE(root.InsertChild(&scrolling, 15, 6, 5, 5, 0));
    ASSERT_TRUE(root.InsertChild(&fixed, 30, 10, 5, 5, 1));
    root.PaintTree(&canvas);
    EXPECT_EQ(wrong_pixels(canvas, [](int32_t x, int32_t y) {
                  return inside({5, 2, 5, 5}, x, y) ? 0x0000AAu : inside({30, 10, 5, 5}, x, y) ? 0x00AA00u : 0u;
              }),
              0);
}
