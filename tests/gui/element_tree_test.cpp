#include "gui/child_element.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gui/theme.h"
#include "gui/ui_font.h"
#include "tests/gui/element_probe.h"
#include "tests/support/heap_probe.h"

namespace {

using ElementTreeTest = cElementFixture<300, 200>;

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
    explicit cSectionElement(const wchar_t* name = L"ciom::messages") : section(name) {}
    const wchar_t* GetStringSection() override { return section; }
    const wchar_t* section;
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
    const struct {
        const char* what;
        cRect spec;
        cBox expected;  // in the 300 x 200 root
    } cases[] = {
        {"width -1 at x 0 fills the width", {0, 0, -1, 20}, {0, 0, 300, 20}},
        {"x 10 with width -11 ends at the right edge", {10, 0, -11, 20}, {10, 0, 290, 20}},
        {"negative position counts from the far edge", {-51, -21, 50, 20}, {250, 180, 50, 20}},
        {"height -1 fills the height", {5, 5, 10, -1}, {5, 5, 10, 200}},
        {"plain values pass unchanged", {7, 8, 9, 10}, {7, 8, 9, 10}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        cChildElement child;
        ASSERT_TRUE(root.AddChild(&child, c.spec.x, c.spec.y, c.spec.width, c.spec.height));
        EXPECT_EQ(xywh(child.GetBounds()), c.expected);
        EXPECT_EQ(child.GetParent(), &root);
    }
}

TEST_F(ElementTreeTest, ParentResizeRelaysAnchoredChildren)
{
    cProbeElement* child = Add("child", 10, -31, -11, 30);
    log.clear();
    root.SetSize(500, 400, false);
    EXPECT_EQ(xywh(child->GetBounds()), (cBox{10, 370, 490, 30}));
    // The child lays itself out, then the parent does.
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log.back(), "root: layout");
    EXPECT_NE(std::find(log.begin(), log.end(), "child: layout"), log.end());

    // An unchanged size is no resize at all unless forced.
    log.clear();
    root.SetSize(500, 400, false);
    EXPECT_TRUE(log.empty());
    root.SetSize(500, 400, true);
    EXPECT_EQ(log, cEvents{"root: layout"});
}

TEST_F(ElementTreeTest, SizeLimitsAndBordersShapeTheLayoutBoxAndRootLimitsGoToTheHost)
{
    cBorderedElement bordered;
    cChildElement inside_border;
    ASSERT_TRUE(root.AddChild(&bordered, 0, 0, 100, 80));
    ASSERT_TRUE(bordered.AddChild(&inside_border, 0, 0, -1, -1));
    EXPECT_EQ(xywh(inside_border.GetBounds()), (cBox{0, 0, 90, 70}));
    EXPECT_EQ(bordered.GetSize().width, 90);

    // A child stores its limits; the maximum wins over the minimum.
    cChildElement panel;
    cChildElement child;
    ASSERT_TRUE(root.AddChild(&panel, 0, 0, 50, 50));
    EXPECT_FALSE(panel.SetMinSize(200, -1));
    EXPECT_FALSE(panel.SetMaxSize(100, -1));
    EXPECT_EQ(panel.GetMinWidth(), 200);
    ASSERT_TRUE(panel.AddChild(&child, 0, 0, -1, 10));
    panel.SetSize(150, 50, false);
    EXPECT_EQ(child.GetWidth(), 100);

    // Limits set in OnCreate: insertion lets the minimum win, later layouts the maximum.
    cLimitedElement limited(200, 100);
    ASSERT_TRUE(root.InsertChild(&limited, 0, 0, 150, 10, 0));
    EXPECT_EQ(limited.GetWidth(), 200);
    ASSERT_TRUE(root.AddChild(&limited, 0, 0, 150, 10));
    EXPECT_EQ(limited.GetWidth(), 100);
    cLimitedElement added(200, 100);
    ASSERT_TRUE(root.AddChild(&added, 0, 20, 150, 10));
    EXPECT_EQ(added.GetWidth(), 100);

    // A root's limits go to the host and are not stored; without a host they fail.
    EXPECT_TRUE(root.SetMinSize(320, 240));
    EXPECT_TRUE(root.SetMaxSize(800, 600));
    EXPECT_EQ(host.min_client.width, 320);
    EXPECT_EQ(host.min_client.height, 240);
    EXPECT_EQ(host.max_client.width, 800);
    EXPECT_EQ(root.GetMinWidth(), 0);
    cChildElement lone;
    EXPECT_FALSE(lone.SetMinSize(10, 10));
}

TEST_F(ElementTreeTest, InsertionCreatesOrMovesTheChildAndRefusesBadOnes)
{
    cProbeElement child("child", &log);
    EXPECT_FALSE(child.IsCreated());
    ASSERT_TRUE(root.InsertChild(&child, 0, 0, 10, -5, 0));
    EXPECT_TRUE(child.IsCreated());
    EXPECT_EQ(child.GetHeight(), 0);  // negative sizes become 0 here
    cCITheme* theme = get_theme();
    EXPECT_EQ(child.GetBackgroundColour(), theme ? theme->GetColour(14) & 0xFFFFFF : 0xFFFFFFu);

    ASSERT_TRUE(root.InsertChild(&child, 5, 6, 7, 8, 0));
    EXPECT_EQ(xywh(child.GetBounds()), (cBox{5, 6, 7, 8}));
    EXPECT_FALSE(root.InsertChild(nullptr, 0, 0, 1, 1, 0));
    EXPECT_FALSE(root.AddChild(nullptr, 0, 0, 1, 1));
    EXPECT_FALSE(root.InsertChild(&root, 0, 0, 1, 1, 0));
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
    EXPECT_EQ(host.invalidations.size(), 1u);
    root.DetachWindow();
}

TEST_F(ElementTreeTest, RedrawPassesExclusiveCornersPulledBackToTheSize)
{
    const struct {
        bool whole;
        cRect rect;
        cBox expected;  // left, top, right, bottom
    } cases[] = {
        {true, {}, {0, 0, 300, 200}},
        {false, {290, 190, 10, 10}, {290, 190, 300, 200}},  // the last row and column
        {false, {295, 195, 20, 20}, {295, 195, 300, 200}},
        {false, {10, 20, 30, 40}, {10, 20, 40, 60}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rect.x);
        host.invalidations.clear();
        root.Redraw(c.whole ? nullptr : &c.rect);
        ASSERT_EQ(host.invalidations.size(), 1u);
        EXPECT_EQ(ltrb(host.invalidations[0]), c.expected);
    }
    host.invalidations.clear();
    const cRect outside{300, 0, 10, 10};
    root.Redraw(&outside);
    EXPECT_TRUE(host.invalidations.empty());
}

TEST_F(ElementTreeTest, ChildRedrawReachesTheWindowInItsParentsCoordinates)
{
    cChildElement panel;
    cChildElement child;
    ASSERT_TRUE(root.AddChild(&panel, 10, 20, 100, 100));
    ASSERT_TRUE(panel.AddChild(&child, 5, 6, 30, 10));
    host.invalidations.clear();
    child.Redraw(nullptr);
    ASSERT_EQ(host.invalidations.size(), 1u);
    EXPECT_EQ(ltrb(host.invalidations[0]), (cBox{15, 26, 45, 36}));

    // Nothing of a child that is not painted reaches the window.
    host.invalidations.clear();
    panel.DisablePainting(false);
    child.Redraw(nullptr);
    EXPECT_TRUE(host.invalidations.empty());
}

TEST_F(ElementTreeTest, ResizesRedrawOnlyWhatChanged)
{
    const struct {
        const char* what;
        bool repaint_on_resize;
        cRect spec;  // re-added after the first placement at {0, 0, -1, 20}
        int32_t root_width;
        std::vector<cBox> expected;  // left, top, right, bottom
    } cases[] = {
        {"a wider child redraws the strip it now covers", false, {0, 0, -1, 20}, 400, {{300, 0, 400, 20}}},
        {"a shorter child redraws the strip it uncovered", false, {0, 0, -1, 10}, 300, {{0, 10, 300, 20}}},
        {"a moved child redraws its old and new area", false, {5, 30, -1, 20}, 300,
         {{0, 0, 300, 20}, {5, 30, 300, 50}}},
        {"repaint on resize redraws both areas whole", true, {0, 0, -1, 20}, 400,
         {{0, 0, 300, 20}, {0, 0, 400, 20}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
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
        std::vector<cBox> got;
        for (const cRectEdges& edges : host.invalidations)
            got.push_back(ltrb(edges));
        EXPECT_EQ(got, c.expected);
    }
}

TEST_F(ElementTreeTest, RemovedChildAndChildrenOfADestroyedParentNoLongerClimbIntoIt)
{
    cChildElement* panel = new cChildElement;
    cChildElement removed;
    cChildElement orphaned;
    ASSERT_TRUE(root.AddChild(panel, 0, 0, 100, 100));
    ASSERT_TRUE(panel->AddChild(&removed, 0, 0, 10, 10));
    ASSERT_TRUE(panel->AddChild(&orphaned, 20, 0, 10, 10));
    EXPECT_TRUE(panel->RemoveChild(&removed));
    EXPECT_EQ(removed.GetParent(), nullptr);
    EXPECT_FALSE(panel->IsDescendant(&removed));
    EXPECT_FALSE(panel->RemoveChild(&removed));
    delete panel;
    EXPECT_EQ(orphaned.GetParent(), nullptr);
    EXPECT_FALSE(root.IsDescendant(panel));

    size_t wakeups = host.PostedWakeups();
    host.invalidations.clear();
    for (cChildElement* child : {&removed, &orphaned}) {
        EXPECT_FALSE(child->PostAction(nullptr));  // no host any more
        child->Redraw(nullptr);
    }
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
    log.clear();
    root.DispatchMouseButton(5, 5, 1, true, false, false);
    EXPECT_EQ(log, cEvents{"root: button 1 down 5,5"});
}

TEST_F(ElementTreeTest, ChildInsertedElsewhereLeavesItsFormerParent)
{
    cProbeElement* first = Add("first", 0, 0, 100, 100);
    cDoomedProbe* moved = new cDoomedProbe("moved", &log);
    ASSERT_TRUE(first->AddChild(moved, 0, 0, 10, 10));
    ASSERT_TRUE(root.AddChild(moved, 150, 0, 10, 10));
    EXPECT_FALSE(first->IsDescendant(moved));
    delete moved;
    log.clear();
    first->DispatchMouseButton(5, 5, 1, true, false, false);  // where it was
    EXPECT_EQ(log, cEvents{"first: button 1 down 5,5"});
    EXPECT_FALSE(cDoomedProbe::TouchedAfterFree());
}

TEST(ElementRegistry, KnowsLiveElementsAndARootTakesItsWindowAlong)
{
    cChildElement* element = new cChildElement;
    EXPECT_TRUE(is_element_alive(element));
    delete element;
    EXPECT_FALSE(is_element_alive(element));
    EXPECT_FALSE(is_element_alive(nullptr));

    cTestHost host;
    {
        cChildElement root;
        attach_test_root(root, host, 10, 10);
    }
    EXPECT_EQ(host.destroy_window_calls, 1);
}

TEST_F(ElementTreeTest, HideBroadcastsOnlyWhenTheParentIsVisible)
{
    cProbeElement* panel = Add("panel", 0, 0, 100, 100);
    cProbeElement* child = Add("child", 0, 0, 10, 10, panel);
    Add("hidden", 20, 0, 10, 10, panel)->Hide(false);
    log.clear();

    panel->Hide(false);
    EXPECT_EQ(log, (cEvents{"panel: hidden", "child: hidden"}));  // the hidden child is not told again
    EXPECT_FALSE(child->IsVisible());
    EXPECT_TRUE(child->IsShownFlag());

    log.clear();
    child->Hide(false);  // the parent is not visible: only the flag changes
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(child->IsShownFlag());

    panel->Show();
    EXPECT_EQ(log, cEvents{"panel: shown"});
    EXPECT_TRUE(panel->IsVisible());
    EXPECT_FALSE(child->IsVisible());
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

TEST_F(ElementTreeTest, PositionsAndBoundsGoThroughTheWindow)
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
    EXPECT_EQ(xywh(bounds), (cBox{13, 24, 10, 10}));
    EXPECT_FALSE(panel.GetDescendantBounds(&root, &bounds));

    // A root takes its screen position when it is resized.
    root.SetSize(320, 240, false);
    EXPECT_EQ(xywh(root.GetBounds()), (cBox{host.window_bounds.x, host.window_bounds.y, 320, 240}));

    // SetBounds moves a root's window and answers as the host does.
    EXPECT_TRUE(root.SetBounds(0, 0, 10, 10));
    host.move_answer = false;
    EXPECT_FALSE(root.SetBounds(0, 0, 10, 10));
    EXPECT_TRUE(child.SetBounds(1, 2, 3, 4));
    EXPECT_EQ(child.GetBounds().width, 3);

    cChildElement lone;
    EXPECT_FALSE(lone.GetScreenPosition(&point));
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
    cHeapBalance balance;
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

TEST_F(ElementTreeTest, StringsComeFromTheNearestSectionBoundOnceThroughTheHost)
{
    host.table.strings.Resize(2);
    host.table.strings[0].Assign(L"first");
    host.table.strings[1].Assign(L"second");
    cSectionElement form;
    ASSERT_TRUE(root.AddChild(&form, 0, 0, 100, 100));
    EXPECT_EQ(host.table_requests, std::vector<std::wstring>{L"ciom::messages"});
    cChildElement label;
    ASSERT_TRUE(form.AddChild(&label, 0, 0, 10, 10));
    cSectionElement lacking(L"ciom::absent");
    ASSERT_TRUE(form.AddChild(&lacking, 20, 0, 10, 10));

    EXPECT_EQ(std::wstring(form.LookupString(1)), L"second");
    EXPECT_EQ(std::wstring(label.LookupString(0)), L"first");  // climbs to the form
    EXPECT_EQ(label.LookupString(2), nullptr);
    EXPECT_EQ(lacking.LookupString(0), nullptr);  // its own section ends the search
    EXPECT_EQ(root.LookupString(0), nullptr);

    // Not yet inserted: through the would-be parent, bound once.
    cSectionElement dialog;
    size_t requests = host.table_requests.size();
    EXPECT_EQ(std::wstring(dialog.LookupStringFor(&label, 1)), L"second");
    EXPECT_EQ(std::wstring(dialog.LookupStringFor(&label, 0)), L"first");
    EXPECT_EQ(host.table_requests.size(), requests + 1);
    cChildElement plain;
    EXPECT_EQ(std::wstring(plain.LookupStringFor(&label, 0)), L"first");
    EXPECT_EQ(plain.LookupStringFor(nullptr, 0), nullptr);
}

TEST_F(ElementTreeTest, HostServesTheDefaultFontAndClipboardTextWithItsZero)
{
    cChildElement child;
    ASSERT_TRUE(root.AddChild(&child, 0, 0, 10, 10));
    child.GetDefaultFont();
    EXPECT_EQ(host.font_requests, std::vector<std::wstring>{std::wstring(L"5x13 ") + get_ui_font_face_name()});

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
