#include "gui/child_element.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gui/theme.h"
#include "gui/ui_font.h"
#include "tests/gui/element_probe.h"
#include "tests/gui/element_test_host.h"
#include "tests/support/heap_probe.h"

namespace {

struct AnchorCase {
    const char* what;
    cRect spec;
    cRect expected;  // in a 300 x 200 parent
};

class ElementTreeTest : public ::testing::Test {
protected:
    void SetUp() override { attach_test_root(root, host, 300, 200); }

    std::vector<std::string> log;
    cTestHost host;  // outlives the root
    cProbeElement root{"root", &log};
};

// Sets limits the way a control does in its own OnCreate, once it has a parent.
class cLimitedElement : public cChildElement {
public:
    cLimitedElement(int32_t min_w, int32_t max_w) : min_w(min_w), max_w(max_w) {}
    void OnCreate() override
    {
        SetMinSize(min_w, -1);
        SetMaxSize(max_w, -1);
    }
    int32_t min_w;
    int32_t max_w;
};

class cBorderedElement : public cChildElement {
public:
    uint32_t DefaultBorder() override { return 5; }
};

class cSectionElement : public cChildElement {
public:
    const wchar_t* GetStringSection() override { return L"ciom::messages"; }
};

// Names a section the host's catalog lacks.
class cMissingSectionElement : public cChildElement {
public:
    const wchar_t* GetStringSection() override { return L"ciom::absent"; }
};

class cRepaintingElement : public cChildElement {
public:
    bool DefaultRepaintOnResize() override { return true; }
};

class cRefusingElement : public cChildElement {
public:
    bool CanClose() override { return false; }
};

}  // namespace

TEST_F(ElementTreeTest, AddChildResolvesNegativeValuesFromTheFarEdge)
{
    const AnchorCase cases[] = {
        {"width -1 at x 0 fills the width", {0, 0, -1, 20}, {0, 0, 300, 20}},
        {"x 10 with width -11 ends at the right edge", {10, 0, -11, 20}, {10, 0, 290, 20}},
        {"negative position counts from the far edge", {-51, -21, 50, 20}, {250, 180, 50, 20}},
        {"height -1 fills the height", {5, 5, 10, -1}, {5, 5, 10, 200}},
        {"plain values pass unchanged", {7, 8, 9, 10}, {7, 8, 9, 10}},
    };
    for (const AnchorCase& c : cases) {
        cChildElement child;
        ASSERT_TRUE(root.AddChild(&child, c.spec.x, c.spec.y, c.spec.width, c.spec.height)) << c.what;
        cRect bounds = child.GetBounds();
        EXPECT_EQ(bounds.x, c.expected.x) << c.what;
        EXPECT_EQ(bounds.y, c.expected.y) << c.what;
        EXPECT_EQ(bounds.width, c.expected.width) << c.what;
        EXPECT_EQ(bounds.height, c.expected.height) << c.what;
        EXPECT_EQ(child.GetParent(), &root);
        root.RemoveChild(&child);
    }
}

TEST_F(ElementTreeTest, ParentResizeRelaysAnchoredChildren)
{
    cProbeElement child("child", &log);
    ASSERT_TRUE(root.AddChild(&child, 10, -31, -11, 30));
    log.clear();
    root.SetSize(500, 400, false);
    EXPECT_EQ(child.GetBounds().x, 10);
    EXPECT_EQ(child.GetBounds().x + child.GetWidth(), 500);
    EXPECT_EQ(child.GetBounds().y + child.GetHeight(), 400);
    // The child lays itself out, then the parent does.
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log.back(), "root: layout");
    EXPECT_NE(std::find(log.begin(), log.end(), "child: layout"), log.end());

    // An unchanged size is no resize at all unless forced.
    log.clear();
    root.SetSize(500, 400, false);
    EXPECT_TRUE(log.empty());
    root.SetSize(500, 400, true);
    EXPECT_EQ(log, std::vector<std::string>{"root: layout"});
}

TEST_F(ElementTreeTest, LayoutBoxIsTheSizeInsideTheBorder)
{
    cBorderedElement panel;
    ASSERT_TRUE(root.AddChild(&panel, 0, 0, 100, 80));
    cChildElement child;
    ASSERT_TRUE(panel.AddChild(&child, 0, 0, -1, -1));
    EXPECT_EQ(child.GetWidth(), 90);
    EXPECT_EQ(child.GetHeight(), 70);
    EXPECT_EQ(panel.GetSize().width, 90);
}

TEST_F(ElementTreeTest, InsertChildLetsTheMinimumWinAndLaterLayoutsTheMaximum)
{
    cLimitedElement child(200, 100);
    ASSERT_TRUE(root.InsertChild(&child, 0, 0, 150, 10, 0));
    EXPECT_EQ(child.GetWidth(), 200);
    ASSERT_TRUE(root.AddChild(&child, 0, 0, 150, 10));
    EXPECT_EQ(child.GetWidth(), 100);

    cLimitedElement added(200, 100);
    ASSERT_TRUE(root.AddChild(&added, 0, 20, 150, 10));
    EXPECT_EQ(added.GetWidth(), 100);
}

TEST_F(ElementTreeTest, SetSizeClampsTheLayoutBoxWithTheMaximumWinning)
{
    cChildElement panel;
    ASSERT_TRUE(root.AddChild(&panel, 0, 0, 50, 50));
    EXPECT_FALSE(panel.SetMinSize(200, -1));  // a child stores its limits
    EXPECT_FALSE(panel.SetMaxSize(100, -1));
    EXPECT_EQ(panel.GetMinWidth(), 200);
    cChildElement child;
    ASSERT_TRUE(panel.AddChild(&child, 0, 0, -1, 10));
    panel.SetSize(150, 50, false);
    EXPECT_EQ(child.GetWidth(), 100);
}

TEST_F(ElementTreeTest, RootSizeLimitsGoToTheHost)
{
    EXPECT_TRUE(root.SetMinSize(320, 240));
    EXPECT_EQ(host.min_client.width, 320);
    EXPECT_EQ(host.min_client.height, 240);
    EXPECT_TRUE(root.SetMaxSize(800, 600));
    EXPECT_EQ(host.max_client.width, 800);
    EXPECT_EQ(root.GetMinWidth(), 0);  // not stored at a root

    cChildElement lone;
    EXPECT_FALSE(lone.SetMinSize(10, 10));
}

TEST_F(ElementTreeTest, InsertChildOfAKnownChildMovesIt)
{
    cChildElement child;
    ASSERT_TRUE(root.InsertChild(&child, 1, 2, 3, 4, 0));
    ASSERT_TRUE(root.InsertChild(&child, 5, 6, 7, 8, 0));
    cRect bounds = child.GetBounds();
    EXPECT_EQ(bounds.x, 5);
    EXPECT_EQ(bounds.y, 6);
    EXPECT_EQ(bounds.width, 7);
    EXPECT_EQ(bounds.height, 8);
    EXPECT_FALSE(root.InsertChild(nullptr, 0, 0, 1, 1, 0));
    EXPECT_FALSE(root.AddChild(nullptr, 0, 0, 1, 1));
    EXPECT_FALSE(root.InsertChild(&root, 0, 0, 1, 1, 0));
}

TEST_F(ElementTreeTest, InsertionRunsOnCreateAndMarksTheChildCreated)
{
    cProbeElement child("child", &log);
    EXPECT_FALSE(child.IsCreated());
    ASSERT_TRUE(root.InsertChild(&child, 0, 0, 10, -5, 0));
    EXPECT_TRUE(child.IsCreated());
    EXPECT_EQ(child.GetHeight(), 0);  // negative sizes become 0 here
    cCITheme* theme = get_theme();
    EXPECT_EQ(child.GetBackgroundColour(), theme ? theme->GetColour(14) & 0xFFFFFF : 0xFFFFFFu);
}

TEST(ElementText, GetTextFillsAtMostCapacityMinusOneAndAZero)
{
    cChildElement element;
    element.SetText(L"0123456789", -1, false);
    wchar_t buffer[6] = {L'x', L'x', L'x', L'x', L'x', L'x'};
    EXPECT_EQ(element.GetText(buffer, 4), 3);
    EXPECT_EQ(std::wstring(buffer), L"012");
    EXPECT_EQ(buffer[4], L'x');  // nothing past the given capacity
    EXPECT_EQ(element.GetText(nullptr, 4), 0);
    EXPECT_EQ(element.GetText(buffer, 0), 0);

    element.SetText(L"abcdef", 2, false);
    EXPECT_EQ(std::wstring(element.GetTextPtr()), L"ab");
    element.ClearText();
    EXPECT_EQ(element.GetTextPtr(), nullptr);
    element.SetText(L"", -1, false);
    EXPECT_EQ(element.GetTextPtr(), nullptr);
    EXPECT_EQ(element.GetHintText(), nullptr);
    element.SetHintText(L"hint");
    EXPECT_EQ(std::wstring(element.GetHintText()), L"hint");
}

TEST(ElementInvalidation, NothingIsInvalidatedBeforeCreation)
{
    cTestHost host;
    cChildElement root;
    root.AttachWindow(&host, 0, 0, 100, 50);
    root.Redraw(nullptr);
    EXPECT_TRUE(host.invalidations.empty());
    root.Create();
    root.Redraw(nullptr);
    ASSERT_EQ(host.invalidations.size(), 1u);
    root.DetachWindow();
}

TEST_F(ElementTreeTest, RedrawPassesExclusiveCornersPulledBackToTheSize)
{
    struct Case {
        bool whole;
        cRect rect;
        cRectEdges expected;
    };
    const Case cases[] = {
        {true, {}, {0, 0, 300, 200}},
        {false, {290, 190, 10, 10}, {290, 190, 300, 200}},  // the last row and column
        {false, {295, 195, 20, 20}, {295, 195, 300, 200}},
        {false, {10, 20, 30, 40}, {10, 20, 40, 60}},
    };
    for (const Case& c : cases) {
        host.invalidations.clear();
        root.Redraw(c.whole ? nullptr : &c.rect);
        ASSERT_EQ(host.invalidations.size(), 1u);
        const cTestHost::Invalidation& got = host.invalidations[0];
        ASSERT_FALSE(got.whole);
        EXPECT_EQ(got.edges.left, c.expected.left);
        EXPECT_EQ(got.edges.top, c.expected.top);
        EXPECT_EQ(got.edges.right, c.expected.right);
        EXPECT_EQ(got.edges.bottom, c.expected.bottom);
    }
    host.invalidations.clear();
    const cRect outside{300, 0, 10, 10};
    root.Redraw(&outside);
    EXPECT_TRUE(host.invalidations.empty());
}

TEST_F(ElementTreeTest, ChildRedrawReachesTheWindowInItsParentsCoordinates)
{
    cChildElement panel;
    ASSERT_TRUE(root.AddChild(&panel, 10, 20, 100, 100));
    cChildElement child;
    ASSERT_TRUE(panel.AddChild(&child, 5, 6, 30, 10));
    host.invalidations.clear();
    child.Redraw(nullptr);
    ASSERT_EQ(host.invalidations.size(), 1u);
    EXPECT_EQ(host.invalidations[0].edges.left, 15);
    EXPECT_EQ(host.invalidations[0].edges.top, 26);
    EXPECT_EQ(host.invalidations[0].edges.right, 45);
    EXPECT_EQ(host.invalidations[0].edges.bottom, 36);

    // Nothing of a child that is not painted reaches the window.
    host.invalidations.clear();
    panel.DisablePainting(false);
    child.Redraw(nullptr);
    EXPECT_TRUE(host.invalidations.empty());
}

TEST_F(ElementTreeTest, RemovedChildNoLongerClimbsIntoItsParent)
{
    cChildElement* panel = new cChildElement;
    ASSERT_TRUE(root.AddChild(panel, 0, 0, 100, 100));
    cChildElement child;
    ASSERT_TRUE(panel->AddChild(&child, 0, 0, 10, 10));
    EXPECT_TRUE(panel->RemoveChild(&child));
    EXPECT_EQ(child.GetParent(), nullptr);
    EXPECT_FALSE(panel->IsDescendant(&child));
    EXPECT_FALSE(panel->RemoveChild(&child));
    delete panel;

    size_t wakeups = host.PostedWakeups();
    host.invalidations.clear();
    EXPECT_FALSE(child.PostAction(nullptr));  // no host any more
    child.Redraw(nullptr);
    EXPECT_EQ(host.PostedWakeups(), wakeups);
    EXPECT_TRUE(host.invalidations.empty());
}

TEST_F(ElementTreeTest, DestroyedChildLeavesItsParent)
{
    cProbeElement* child = new cProbeElement("child", &log);
    ASSERT_TRUE(root.AddChild(child, 0, 0, 10, 10));
    root.SetFocusTo(child);
    root.DispatchMouseMove(5, 5);
    EXPECT_EQ(root.GetFocusedChild(), child);
    EXPECT_EQ(root.HoverElement(), child);
    delete child;
    EXPECT_EQ(root.GetFocusedChild(), nullptr);
    EXPECT_EQ(root.HoverElement(), nullptr);
    EXPECT_FALSE(root.IsDescendant(child));
    // Routing finds no child any more.
    log.clear();
    root.DispatchMouseButton(5, 5, 1, true, false, false);
    EXPECT_EQ(log, std::vector<std::string>{"root: button 1 down 5,5"});
}

TEST_F(ElementTreeTest, DestroyedParentLeavesItsChildrenAsRoots)
{
    cChildElement* panel = new cChildElement;
    ASSERT_TRUE(root.AddChild(panel, 0, 0, 100, 100));
    cChildElement child;
    ASSERT_TRUE(panel->AddChild(&child, 0, 0, 10, 10));
    delete panel;
    EXPECT_EQ(child.GetParent(), nullptr);
    EXPECT_FALSE(root.IsDescendant(panel));
}

TEST(ElementRegistry, KnowsLiveElementsOnly)
{
    cChildElement* element = new cChildElement;
    EXPECT_TRUE(is_element_alive(element));
    delete element;
    EXPECT_FALSE(is_element_alive(element));
    EXPECT_FALSE(is_element_alive(nullptr));
}

TEST(ElementRegistry, DestroyingARootDestroysItsWindow)
{
    cTestHost host;
    {
        cChildElement root;
        attach_test_root(root, host, 10, 10);
    }
    EXPECT_EQ(host.destroy_window_calls, 1);
}

TEST_F(ElementTreeTest, HideBroadcastsOnlyWhenTheParentIsVisible)
{
    cProbeElement panel("panel", &log);
    cProbeElement child("child", &log);
    cProbeElement hidden_child("hidden", &log);
    ASSERT_TRUE(root.AddChild(&panel, 0, 0, 100, 100));
    ASSERT_TRUE(panel.AddChild(&child, 0, 0, 10, 10));
    ASSERT_TRUE(panel.AddChild(&hidden_child, 20, 0, 10, 10));
    hidden_child.Hide(false);
    log.clear();

    panel.Hide(false);
    std::vector<std::string> expected{"panel: hidden", "child: hidden"};
    EXPECT_EQ(log, expected);  // the already hidden child is not told again
    EXPECT_FALSE(child.IsVisible());
    EXPECT_TRUE(child.IsShownFlag());

    log.clear();
    child.Hide(false);  // the parent is not visible: only the flag changes
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(child.IsShownFlag());

    panel.Show();
    EXPECT_EQ(log, std::vector<std::string>{"panel: shown"});
    EXPECT_TRUE(panel.IsVisible());
    EXPECT_FALSE(child.IsVisible());
}

TEST_F(ElementTreeTest, PaintableChainIsIndependentOfTheShownFlag)
{
    cChildElement panel;
    cChildElement child;
    ASSERT_TRUE(root.AddChild(&panel, 0, 0, 100, 100));
    ASSERT_TRUE(panel.AddChild(&child, 0, 0, 10, 10));
    panel.Hide(false);
    EXPECT_TRUE(child.IsPaintable());
    panel.Show();
    panel.DisablePainting(false);
    EXPECT_FALSE(child.IsPaintable());
    EXPECT_TRUE(child.IsVisible());
    panel.EnablePainting(false);
    EXPECT_TRUE(child.IsPaintable());
}

TEST_F(ElementTreeTest, PositionsConvertToTheScreenThroughTheWindow)
{
    cChildElement panel;
    cChildElement child;
    ASSERT_TRUE(root.AddChild(&panel, 10, 20, 100, 100));
    ASSERT_TRUE(panel.AddChild(&child, 3, 4, 10, 10));
    cPoint point{0, 0};
    ASSERT_TRUE(child.GetScreenPosition(&point));
    EXPECT_EQ(point.x, host.window_bounds.x + 13);
    EXPECT_EQ(point.y, host.window_bounds.y + 24);
    cRect bounds;
    ASSERT_TRUE(root.GetDescendantBounds(&child, &bounds));
    EXPECT_EQ(bounds.x, 13);
    EXPECT_EQ(bounds.y, 24);
    EXPECT_FALSE(panel.GetDescendantBounds(&root, &bounds));

    // A root takes its screen position when it is resized.
    root.SetSize(320, 240, false);
    EXPECT_EQ(root.GetBounds().x, host.window_bounds.x);
    EXPECT_EQ(root.GetBounds().y, host.window_bounds.y);

    cChildElement lone;
    EXPECT_FALSE(lone.GetScreenPosition(&point));
}

TEST_F(ElementTreeTest, SetBoundsMovesARootsWindow)
{
    EXPECT_TRUE(root.SetBounds(0, 0, 10, 10));
    host.move_answer = false;
    EXPECT_FALSE(root.SetBounds(0, 0, 10, 10));
    cChildElement child;
    ASSERT_TRUE(root.AddChild(&child, 0, 0, 10, 10));
    EXPECT_TRUE(child.SetBounds(0, 0, 10, 10));
    EXPECT_TRUE(child.SetBounds(1, 2, 3, 4));
    EXPECT_EQ(child.GetBounds().width, 3);
    cChildElement lone;
    EXPECT_FALSE(lone.SetBounds(0, 0, 1, 1));
}

TEST_F(ElementTreeTest, CanCloseTreeAsksEveryElement)
{
    cChildElement child;
    ASSERT_TRUE(root.AddChild(&child, 0, 0, 10, 10));
    EXPECT_TRUE(root.CanCloseTree());
    cRefusingElement refusing;
    ASSERT_TRUE(child.AddChild(&refusing, 0, 0, 1, 1));
    EXPECT_FALSE(root.CanCloseTree());
    EXPECT_FALSE(root.QueryChildren());
}

TEST(ElementNoHost, WindowServicesAnswerTheirNoHostValues)
{
    cChildElement lone;
    cSize size{};
    EXPECT_EQ(lone.ShowModal(L"t", 10, 10, nullptr, false), -1);
    EXPECT_EQ(lone.RunPopupModal(0, 0, 1, 1, nullptr), -1);
    EXPECT_EQ(lone.ShowPopup(0, 0, 1, 1, nullptr, false), nullptr);
    EXPECT_FALSE(lone.MeasureText(L"x", &size, nullptr));
    EXPECT_FALSE(lone.ClipboardPutText(L"x", -1));
    EXPECT_FALSE(lone.GetWorkArea(&size));
    EXPECT_FALSE(lone.RequestWindowFocus());
    EXPECT_FALSE(lone.SetCursor(1));
    EXPECT_FALSE(lone.CaptureMouse(nullptr, true));
    EXPECT_EQ(lone.GetDefaultFont(), nullptr);
    EXPECT_EQ(lone.LookupString(0), nullptr);
    EXPECT_FALSE(lone.PostAction(nullptr));
}

TEST(ElementMemory, ATreeGivesBackEverythingItTook)
{
    int before = heap_busy_blocks();
    {
        cChildElement root;
        root.Create();
        cChildElement children[8];
        for (int i = 0; i < 8; ++i) {
            root.AddChild(&children[i], i * 10, 0, -1, 20);
            children[i].SetText(L"some text", -1, false);
            children[i].SetHintText(L"hint");
            children[i].PostAction(nullptr);  // queued, never drained
        }
        root.RemoveChild(&children[3]);
        root.SetSize(200, 100, false);
    }
    EXPECT_EQ(heap_busy_blocks(), before);
}

namespace {

struct InvalidationCase {
    const char* what;
    bool repaint_on_resize;
    cRect spec;  // re-added after the first placement at {0, 0, -1, 20}
    int32_t root_width;
    std::vector<cRect> expected;  // x, y, right, bottom
};

}  // namespace

TEST_F(ElementTreeTest, ResizesRedrawOnlyWhatChanged)
{
    const InvalidationCase cases[] = {
        {"a wider child redraws the strip it now covers", false, {0, 0, -1, 20}, 400, {{300, 0, 400, 20}}},
        {"a shorter child redraws the strip it uncovered", false, {0, 0, -1, 10}, 300, {{0, 10, 300, 20}}},
        {"a moved child redraws its old and new area", false, {5, 30, -1, 20}, 300, {{0, 0, 300, 20}, {5, 30, 300, 50}}},
        {"repaint on resize redraws both areas whole", true, {0, 0, -1, 20}, 400, {{0, 0, 300, 20}, {0, 0, 400, 20}}},
    };
    for (const InvalidationCase& c : cases) {
        root.SetSize(300, 200, false);
        cChildElement plain;
        cRepaintingElement repainting;
        cChildElement& child = c.repaint_on_resize ? static_cast<cChildElement&>(repainting) : plain;
        ASSERT_TRUE(root.AddChild(&child, 0, 0, -1, 20));
        host.invalidations.clear();
        if (c.root_width != 300)
            root.SetSize(c.root_width, 200, false);
        else
            ASSERT_TRUE(root.AddChild(&child, c.spec.x, c.spec.y, c.spec.width, c.spec.height));
        ASSERT_EQ(host.invalidations.size(), c.expected.size()) << c.what;
        for (size_t i = 0; i < c.expected.size(); ++i) {
            const cRectEdges& got = host.invalidations[i].edges;
            EXPECT_EQ(got.left, c.expected[i].x) << c.what;
            EXPECT_EQ(got.top, c.expected[i].y) << c.what;
            EXPECT_EQ(got.right, c.expected[i].width) << c.what;
            EXPECT_EQ(got.bottom, c.expected[i].height) << c.what;
        }
        root.RemoveChild(&child);
    }
}

TEST_F(ElementTreeTest, StringSectionsBindThroughTheHost)
{
    cSectionElement child;
    ASSERT_TRUE(root.AddChild(&child, 0, 0, 10, 10));
    EXPECT_EQ(host.table_requests, std::vector<std::wstring>{L"ciom::messages"});

    cSectionElement form;
    form.LookupStringFor(&child, 3);
    form.LookupStringFor(&child, 4);  // bound once
    EXPECT_EQ(host.table_requests, (std::vector<std::wstring>{L"ciom::messages", L"ciom::messages"}));
}

TEST_F(ElementTreeTest, DefaultFontIsAskedOfTheHost)
{
    cChildElement child;
    ASSERT_TRUE(root.AddChild(&child, 0, 0, 10, 10));
    child.GetDefaultFont();
    ASSERT_EQ(host.font_requests.size(), 1u);
    EXPECT_EQ(host.font_requests[0], std::wstring(L"5x13 ") + get_ui_font_face_name());
}

TEST_F(ElementTreeTest, ClipboardTextTravelsWithItsZero)
{
    cChildElement child;
    ASSERT_TRUE(root.AddChild(&child, 0, 0, 10, 10));
    ASSERT_TRUE(child.ClipboardPutText(L"abc", -1));
    EXPECT_EQ(host.clipboard.size(), 8u);  // three characters and the zero, two bytes each
    ASSERT_TRUE(child.ClipboardPutText(L"abcdef", 2));
    EXPECT_EQ(host.clipboard.size(), 4u);
    _guardchar<wchar_t> text;
    ASSERT_TRUE(child.ClipboardGetText(text));
    EXPECT_EQ(std::wstring(text.Text()), L"ab");
    _typebuf<wchar_t> characters;
    ASSERT_TRUE(child.ClipboardGetText(characters));
    ASSERT_EQ(characters.Count(), 3);
    EXPECT_EQ(characters[2], L'\0');
    host.clipboard.clear();
    EXPECT_FALSE(child.ClipboardGetText(text));
    EXPECT_TRUE(text.IsEmpty());
}

TEST_F(ElementTreeTest, StringsComeFromTheNearestBoundSection)
{
    host.table.strings.Resize(2);
    host.table.strings[0].Assign(L"first");
    host.table.strings[1].Assign(L"second");
    cSectionElement form;
    ASSERT_TRUE(root.AddChild(&form, 0, 0, 100, 100));
    cChildElement label;
    ASSERT_TRUE(form.AddChild(&label, 0, 0, 10, 10));
    cMissingSectionElement lacking;
    ASSERT_TRUE(form.AddChild(&lacking, 20, 0, 10, 10));

    EXPECT_EQ(std::wstring(form.LookupString(1)), L"second");
    EXPECT_EQ(std::wstring(label.LookupString(0)), L"first");  // climbs to the form
    EXPECT_EQ(label.LookupString(2), nullptr);
    EXPECT_EQ(lacking.LookupString(0), nullptr);  // its own section ends the search
    EXPECT_EQ(root.LookupString(0), nullptr);

    // Not yet inserted: through the would-be parent.
    cSectionElement dialog;
    EXPECT_EQ(std::wstring(dialog.LookupStringFor(&label, 1)), L"second");
    cChildElement plain;
    EXPECT_EQ(std::wstring(plain.LookupStringFor(&label, 0)), L"first");
    EXPECT_EQ(plain.LookupStringFor(nullptr, 0), nullptr);
}
