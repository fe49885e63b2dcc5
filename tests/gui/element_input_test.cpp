#include "gui/child_element.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/element_clock.h"
#include "gui/tooltip_opener.h"
#include "tests/gui/element_probe.h"

namespace {

uint32_t test_ticks = 0;

uint32_t read_test_ticks()
{
    return test_ticks;
}

// Wake-ups are written into the event log when they happen, so tests see
// them in order with the hooks.
class ElementInputTest : public cElementFixture<200, 100> {
protected:
    void SetUp() override
    {
        host.on_posted = [this](cChildElement* element) {
            log.push_back("posted to " + static_cast<cProbeElement*>(element)->name);
            return true;
        };
        cElementFixture::SetUp();
        set_element_tick_source(read_test_ticks);
    }
    void TearDown() override { set_element_tick_source(nullptr); }
};

class cScrolledProbe : public cProbeElement {
public:
    using cProbeElement::cProbeElement;
    cPoint GetScrollOrigin() override { return cPoint{-50, 0}; }
};

}  // namespace

TEST_F(ElementInputTest, ButtonGoesToTheChildUnderThePointInItsCoordinates)
{
    Add("child", 10, 20, 30, 30);
    root.DispatchMouseButton(15, 25, 1, false, false, false);
    root.DispatchMouseButton(40, 25, 1, false, false, false);  // right edge is outside the child
    EXPECT_EQ(log, (cEvents{"child: button 1 up 5,5", "root: button 1 up 40,25"}));
}

TEST_F(ElementInputTest, LowerAddressGetsTheMouseFirstWhereChildrenOverlap)
{
    cProbeElement* a = Add("a", 0, 0, 50, 50);
    cProbeElement* b = Add("b", 25, 25, 50, 50);
    root.DispatchMouseButton(30, 30, 1, false, false, false);
    EXPECT_EQ(log, cEvents{(a < b ? a : b)->name + ": button 1 up " + (a < b ? "30,30" : "5,5")});
}

TEST_F(ElementInputTest, HiddenChildIsPaintedButTakesNoInputAndUnpaintedIsNotHit)
{
    cProbeElement* hidden = Add("hidden", 0, 0, 50, 50);
    Add("unpainted", 100, 0, 50, 50)->DisablePainting(false);
    hidden->Hide(false);
    log.clear();
    root.DispatchMouseButton(10, 10, 1, false, false, false);
    EXPECT_FALSE(root.DispatchMouseWheel(10, 10, true, false, 1));
    root.DispatchMouseButton(110, 10, 1, false, false, false);
    EXPECT_EQ(log, (cEvents{"root: button 1 up 10,10", "root: wheel 10,10 up 1", "root: button 1 up 110,10"}));

    // Moves do not ask for the shown flag, only for painting.
    log.clear();
    root.DispatchMouseMove(10, 10);
    root.DispatchMouseMove(110, 10);
    EXPECT_EQ(log,
              (cEvents{"hidden: enter", "hidden: move 10,10", "hidden: leave", "root: enter", "root: move 110,10"}));

    // An element hidden itself takes no buttons at all.
    log.clear();
    hidden->DispatchMouseButton(1, 1, 1, true, false, false);
    EXPECT_TRUE(log.empty());
}

TEST_F(ElementInputTest, DoubleClickNeedsTwoPressesWithin500MsAnd2Pixels)
{
    const struct {
        const char* what;
        uint32_t delay;
        int32_t dx;
        int32_t dy;
        bool double_click;
    } cases[] = {
        {"499 ms and 2 pixels", 499, 2, 0, true}, {"500 ms", 500, 0, 0, false},
        {"3 pixels across", 100, 3, 0, false},    {"3 pixels down", 100, 0, -3, false},
        {"the same tick", 0, 0, 0, false},        {"at once beside", 1, -2, 2, true},
    };
    Add("child", 0, 0, 100, 100);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test_ticks += 10000;
        root.DispatchMouseButton(50, 50, 1, true, false, false);
        test_ticks += c.delay;
        log.clear();
        root.DispatchMouseButton(50 + c.dx, 50 + c.dy, 1, true, false, false);
        EXPECT_EQ(log.size() == 2 && log[1].rfind("child: double", 0) == 0, c.double_click);
    }
}

TEST_F(ElementInputTest, RecognisedDoubleClickKeepsTheFirstPressAsReference)
{
    Add("child", 0, 0, 100, 100)->SetPostsDoubleClicks(true);
    for (uint32_t tick : {5000, 5300, 5450, 5600}) {
        test_ticks = tick;
        root.DispatchMouseButton(10, 10, 1, true, false, false);
    }
    // 5300 and 5450 pair with 5000; 5600 is too late for it and starts anew.
    int doubles = 0;
    for (const std::string& entry : log)
        doubles += entry.rfind("child: double", 0) == 0;
    EXPECT_EQ(doubles, 2);
    log.clear();
    drain_wakeups(root, host);
    const std::string child = "child: action 3 from child at 10,10";
    const std::string parent = "root: action 3 from child at 10,10";
    EXPECT_EQ(log, (cEvents{child, parent, child, parent}));
}

TEST_F(ElementInputTest, RightReleasePostsAContextRequestBeforeTheHook)
{
    cProbeElement* child = Add("child", 10, 10, 50, 50);
    root.DispatchMouseButton(20, 30, 2, true, false, false);
    root.DispatchMouseButton(20, 30, 2, false, true, false);
    EXPECT_EQ(log, (cEvents{"child: button 2 down 10,20", "posted to child", "child: button 2 up 10,20"}));
    log.clear();
    child->handles_actions = true;
    drain_wakeups(root, host);
    EXPECT_EQ(log, cEvents{"child: action 2 from child at 10,20 flags 100"});
}

TEST_F(ElementInputTest, CapturedElementReceivesMovesOutsideItsBounds)
{
    cProbeElement* child = Add("child", 10, 10, 50, 50);
    Add("grandchild", 0, 0, 20, 20, child);
    child->StartMouseCapture(false);
    EXPECT_EQ(root.CaptureChild(), child);
    log.clear();
    root.DispatchMouseMove(150, 90);
    root.DispatchMouseMove(15, 15);  // over the grandchild: the capture keeps it at the child
    root.DispatchMouseButton(150, 90, 1, false, false, false);
    EXPECT_EQ(log, (cEvents{"child: enter", "child: move 140,80", "child: move 5,5", "child: button 1 up 140,80"}));

    child->StopMouseCapture();
    EXPECT_EQ(host.capture_calls, (std::vector<bool>{true, false}));
    EXPECT_EQ(root.CaptureChild(), nullptr);
    log.clear();
    root.DispatchMouseMove(150, 90);
    EXPECT_EQ(log, (cEvents{"child: leave", "root: enter", "root: move 150,90"}));

    // Capture for children still routes to them inside.
    child->StartMouseCapture(true);
    log.clear();
    root.DispatchMouseButton(15, 15, 1, false, false, false);
    root.DispatchMouseButton(150, 90, 1, false, false, false);
    EXPECT_EQ(log, (cEvents{"grandchild: button 1 up 5,5", "child: button 1 up 140,80"}));

    // Removing the capturing child releases the capture.
    root.RemoveChild(child);
    EXPECT_EQ(host.capture_calls, (std::vector<bool>{true, false, true, false}));
    EXPECT_EQ(root.CaptureChild(), nullptr);
}

TEST_F(ElementInputTest, RefusedCaptureLeavesNoCapturePath)
{
    cProbeElement* child = Add("child", 10, 10, 50, 50);
    host.capture_answer = false;
    child->StartMouseCapture(false);
    EXPECT_EQ(root.CaptureChild(), nullptr);
    log.clear();
    root.DispatchMouseMove(150, 90);
    EXPECT_EQ(log, (cEvents{"root: enter", "root: move 150,90"}));
}

TEST_F(ElementInputTest, WheelGoesToTheFirstChildThatTakesIt)
{
    cProbeElement* outer = Add("outer", 0, 0, 100, 100);
    cProbeElement* inner = Add("inner", 10, 10, 20, 20, outer);
    EXPECT_FALSE(root.DispatchMouseWheel(15, 15, true, true, 2));
    EXPECT_EQ(log,
              (cEvents{"inner: wheel 5,5 up ctrl 2", "outer: wheel 15,15 up ctrl 2", "root: wheel 15,15 up ctrl 2"}));
    log.clear();
    outer->takes_wheel = true;
    EXPECT_TRUE(root.DispatchMouseWheel(15, 15, false, false, 1));
    EXPECT_EQ(log, (cEvents{"inner: wheel 5,5 down 1", "outer: wheel 15,15 down 1"}));
    log.clear();
    inner->StartMouseCapture(false);
    EXPECT_FALSE(root.DispatchMouseWheel(190, 90, true, false, 1));
    EXPECT_EQ(log, cEvents{"inner: wheel 180,80 up 1"});
}

TEST_F(ElementInputTest, HoverMovesBetweenElementsAndSetsTheirCursor)
{
    Add("a", 0, 0, 50, 50);
    Add("b", 100, 0, 50, 50)->SetCursorShape(3);
    root.DispatchMouseMove(10, 10);
    root.DispatchMouseMove(11, 10);
    root.DispatchMouseMove(110, 10);
    root.SetHoverElement(nullptr);
    EXPECT_EQ(log, (cEvents{"a: enter", "a: move 10,10", "a: move 11,10", "a: leave", "b: enter", "b: move 10,10",
                            "b: leave"}));
    EXPECT_EQ(host.cursor_kinds, (std::vector<uint32_t>{0, 0, 3}));
    EXPECT_EQ(root.HoverElement(), nullptr);
}

TEST_F(ElementInputTest, ScrollOriginShiftsHitTestingExceptForFixedChildren)
{
    cScrolledProbe* panel = Add<cScrolledProbe>("panel", 0, 0, 200, 100);
    cProbeElement scrolling("scrolling", &log);
    cProbeElement fixed("fixed", &log);
    ASSERT_TRUE(panel->InsertChild(&scrolling, 60, 0, 20, 20, 0));
    ASSERT_TRUE(panel->InsertChild(&fixed, 150, 0, 20, 20, 3));
    root.DispatchMouseButton(15, 5, 1, false, false, false);
    root.DispatchMouseButton(155, 5, 1, false, false, false);
    EXPECT_EQ(log, (cEvents{"scrolling: button 1 up 5,5", "fixed: button 1 up 5,5"}));
}

TEST_F(ElementInputTest, KeysAndCharactersFollowTheFocusPath)
{
    cProbeElement* field = Add("field", 0, 0, 50, 20, Add("panel", 0, 0, 100, 100));
    root.SetFocusTo(field);
    log.clear();
    EXPECT_TRUE(root.DispatchChar(L'a', false, false, false));
    EXPECT_TRUE(root.DispatchKeyDown(0x41, false, false, false));
    // The Apps key and Shift+F10 also ask for the context menu.
    EXPECT_TRUE(root.DispatchKeyDown(0x5D, false, false, false));
    EXPECT_TRUE(root.DispatchKeyDown(0x79, true, false, false));
    EXPECT_TRUE(root.DispatchKeyDown(0x79, false, false, false));
    EXPECT_EQ(log, (cEvents{"field: char 97", "field: key 65", "posted to field", "field: key 93", "posted to field",
                            "field: key 121", "field: key 121"}));

    // A hidden element on the path drops the key.
    field->Hide(false);
    log.clear();
    EXPECT_TRUE(root.DispatchKeyDown(0x41, false, false, false));
    EXPECT_TRUE(root.DispatchChar(L'a', false, false, false));
    EXPECT_TRUE(log.empty());

    // Without the focus nothing takes keys.
    cProbeElement lone("lone", &log);
    EXPECT_FALSE(lone.DispatchKeyDown(0x41, false, false, false));
    EXPECT_FALSE(lone.DispatchChar(L'a', false, false, false));
}

TEST_F(ElementInputTest, ButtonHookThatDestroysItsElementEndsTheDispatch)
{
    cDoomedProbe* closer = new cDoomedProbe("closer", &log);
    closer->destroy_on_button = true;
    ASSERT_TRUE(root.AddChild(closer, 10, 10, 20, 20));
    root.DispatchMouseButton(15, 15, 1, true, false, false);
    EXPECT_FALSE(cDoomedProbe::TouchedAfterFree());
    root.DispatchMouseButton(15, 15, 1, false, false, false);
    EXPECT_EQ(log, (cEvents{"closer: button 1 down 5,5", "root: button 1 up 15,15"}));
}

namespace {

// What the registered opener was asked, and whether its tooltips live.
struct cTooltipLog {
    std::vector<std::wstring> opened;
    int alive = 0;
};
cTooltipLog tooltip_log;

class cTooltipProbe : public cChildElement {
public:
    cTooltipProbe() { ++tooltip_log.alive; }
    ~cTooltipProbe() override { --tooltip_log.alive; }
};

cChildElement* open_probe_tooltip(cChildElement*, const wchar_t* text)
{
    tooltip_log.opened.push_back(text);
    return new cTooltipProbe;
}

}  // namespace

TEST_F(ElementInputTest, HoverOpensOneTooltipThroughTheRegisteredOpenerUntilLeaveOrNewHint)
{
    tooltip_log = cTooltipLog{};
    cChildElement hinted, plain;
    root.AddChild(&hinted, 0, 0, 50, 50);
    root.AddChild(&plain, 100, 0, 50, 50);
    hinted.SetHintText(L"Save the file");
    root.DispatchMouseMove(10, 10);
    EXPECT_TRUE(tooltip_log.opened.empty()) << "nothing opens before an opener is registered";

    set_tooltip_opener(open_probe_tooltip);
    root.DispatchMouseMove(10, 10);
    root.DispatchMouseMove(12, 10);
    EXPECT_EQ(tooltip_log.opened, std::vector<std::wstring>{L"Save the file"});
    EXPECT_EQ(tooltip_log.alive, 1);
    root.DispatchMouseMove(110, 10);
    EXPECT_EQ(tooltip_log.alive, 0) << "leaving closes it; an element without a hint opens none";
    EXPECT_EQ(tooltip_log.opened.size(), 1u);

    root.DispatchMouseMove(10, 10);
    hinted.SetHintText(L"Saved");
    root.DrainPostedActions(&hinted);
    EXPECT_EQ(tooltip_log.alive, 0) << "a new hint closes the open tooltip";
    root.DispatchMouseMove(11, 10);
    EXPECT_EQ(tooltip_log.opened, (std::vector<std::wstring>{L"Save the file", L"Save the file", L"Saved"}));
    set_tooltip_opener(nullptr);
}
