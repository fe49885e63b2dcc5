#include "gui/child_element.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/gui/element_probe.h"
#include "tests/gui/element_test_host.h"

namespace {

const uint32_t key_tab = 0x09;
const uint32_t key_left = 0x25;
const uint32_t key_right = 0x27;
const uint32_t key_down = 0x28;

class cWrappingRoot : public cProbeElement {
public:
    using cProbeElement::cProbeElement;
    bool DefaultArrowWrap() override { return wraps; }
    bool wraps = false;
};

class FocusTest : public ::testing::Test {
protected:
    void SetUp() override { attach_test_root(root, host, 300, 100); }

    // Makes a tab-stop child at x; children are inserted in call order.
    cProbeElement* Add(const char* name, int32_t at_x)
    {
        cProbeElement* child = new cProbeElement(name, &log);
        child->tab_stop_default = true;
        owned.emplace_back(child);
        EXPECT_TRUE(root.AddChild(child, at_x, 10, 20, 20));
        return child;
    }
    // The name of the element at the end of the focus path, or "".
    std::string Focused()
    {
        cChildElement* at = root.HasFocus() ? &root : nullptr;
        for (cChildElement* step = root.GetFocusedChild(); step; step = step->GetFocusedChild())
            at = step;
        return at ? static_cast<cProbeElement*>(at)->name : "";
    }

    std::vector<std::string> log;
    cTestHost host;
    cWrappingRoot root{"root", &log};
    std::vector<std::unique_ptr<cProbeElement>> owned;  // destroyed before the root
};

}  // namespace

TEST_F(FocusTest, TabFollowsInsertionOrderAndWraps)
{
    Add("c", 200);
    Add("a", 0);
    Add("b", 100);
    std::vector<std::string> seen;
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(root.DispatchKeyDown(key_tab, false, false, false));
        seen.push_back(Focused());
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"c", "a", "b", "c"}));
    seen.clear();
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(root.DispatchKeyDown(key_tab, true, false, false));
        seen.push_back(Focused());
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"b", "a", "c"}));
}

TEST_F(FocusTest, TabSkipsElementsThatCannotTakeIt)
{
    Add("first", 0);
    cProbeElement* plain = Add("plain", 30);
    plain->SetEnabled(false);
    cProbeElement* hidden = Add("hidden", 60);
    hidden->Hide(false);
    cProbeElement* unpainted = Add("unpainted", 90);
    unpainted->DisablePainting(false);
    cProbeElement* unfocusable = Add("unfocusable", 120);
    unfocusable->SetFocusable(false);
    Add("last", 150);
    EXPECT_FALSE(plain->IsEnabled());
    EXPECT_FALSE(unfocusable->IsEnabled());
    root.DispatchKeyDown(key_tab, false, false, false);
    EXPECT_EQ(Focused(), "first");
    root.DispatchKeyDown(key_tab, false, false, false);
    EXPECT_EQ(Focused(), "last");
}

TEST_F(FocusTest, TabEntersNestedPanelsInOrder)
{
    cProbeElement* before = Add("before", 0);
    cProbeElement panel("panel", &log);
    ASSERT_TRUE(root.AddChild(&panel, 100, 0, 100, 100));
    cProbeElement inner1("inner1", &log);
    cProbeElement inner2("inner2", &log);
    inner1.tab_stop_default = inner2.tab_stop_default = true;
    ASSERT_TRUE(panel.AddChild(&inner1, 0, 0, 10, 10));
    ASSERT_TRUE(panel.AddChild(&inner2, 20, 0, 10, 10));
    std::vector<std::string> seen;
    for (int i = 0; i < 4; ++i) {
        root.DispatchKeyDown(key_tab, false, false, false);
        seen.push_back(Focused());
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"before", "inner1", "inner2", "before"}));
    EXPECT_TRUE(before->HasFocus());
    EXPECT_FALSE(inner2.HasFocus());
    EXPECT_EQ(panel.GetFocusedChild(), nullptr);
    root.RemoveChild(&panel);
}

TEST_F(FocusTest, TabWithNothingToFocusIsNotHandled)
{
    EXPECT_FALSE(root.DispatchKeyDown(key_tab, false, false, false));
}

TEST_F(FocusTest, ArrowKeysMoveAmongArrowFocusChildrenWithoutWrap)
{
    Add("a", 0);
    Add("b", 30);
    cProbeElement* no_arrows = Add("no arrows", 60);
    no_arrows->SetWantsArrowKeys(false);
    Add("c", 90);
    EXPECT_TRUE(root.DispatchKeyDown(key_right, false, false, false));
    EXPECT_EQ(Focused(), "a");
    std::vector<std::string> seen;
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(root.DispatchKeyDown(key_down, false, false, false));
        seen.push_back(Focused());
    }
    // At the end the focus stays and the key counts as handled.
    EXPECT_EQ(seen, (std::vector<std::string>{"b", "c", "c"}));
    EXPECT_TRUE(root.DispatchKeyDown(key_left, false, false, false));
    EXPECT_EQ(Focused(), "b");
}

TEST_F(FocusTest, ArrowKeysWrapWhenTheParentAsksForIt)
{
    root.wraps = true;
    root.InitDefaults();
    Add("a", 0);
    Add("b", 30);
    root.DispatchKeyDown(key_right, false, false, false);
    root.DispatchKeyDown(key_right, false, false, false);
    EXPECT_EQ(Focused(), "b");
    root.DispatchKeyDown(key_right, false, false, false);
    EXPECT_EQ(Focused(), "a");
    root.DispatchKeyDown(key_left, false, false, false);
    EXPECT_EQ(Focused(), "b");
}

TEST_F(FocusTest, ElementThatConsumesArrowsGetsThemAsKeys)
{
    Add("a", 0);
    cProbeElement* edit = Add("edit", 30);
    edit->consumes_arrows = true;
    root.SetFocusTo(edit);
    log.clear();
    EXPECT_TRUE(root.DispatchKeyDown(key_right, false, false, false));
    EXPECT_TRUE(root.DispatchKeyDown(key_left, false, false, false));
    EXPECT_EQ(Focused(), "edit");
    EXPECT_EQ(log, (std::vector<std::string>{"edit: key 39", "edit: key 37"}));
}

TEST_F(FocusTest, PressOnANonFocusableChildGivesTheFocusToItsParent)
{
    cProbeElement* child = Add("child", 0);
    child->SetFocusable(false);
    root.SetFocusable(false);  // not consulted for the parent itself
    root.SetFocusTo(child);
    drain_wakeups(root, host);
    log.clear();
    root.FocusAtPoint(5, 15, 1, false, false);
    EXPECT_EQ(Focused(), "root");
    EXPECT_FALSE(child->HasFocus());
    EXPECT_EQ(log, (std::vector<std::string>{"child: lost", "root: gained 1"}));
    log.clear();
    drain_wakeups(root, host);
    EXPECT_EQ(log, std::vector<std::string>{"root: action 1 from root reason 1"});
}

TEST_F(FocusTest, PressMovesTheFocusBetweenChildren)
{
    cProbeElement* a = Add("a", 0);
    Add("b", 100);
    root.FocusAtPoint(5, 15, 1, false, false);
    EXPECT_EQ(Focused(), "a");
    EXPECT_EQ(root.GetFocusedChild(), a);
    log.clear();
    root.FocusAtPoint(105, 15, 1, false, false);
    EXPECT_EQ(Focused(), "b");
    EXPECT_EQ(log, (std::vector<std::string>{"a: lost", "b: gained 1"}));

    // A press where no child is takes the focus to the root itself.
    log.clear();
    root.FocusAtPoint(250, 80, 1, false, false);
    EXPECT_EQ(Focused(), "root");
    EXPECT_EQ(log, (std::vector<std::string>{"b: lost", "root: gained 1"}));
}

TEST_F(FocusTest, SetFocusToTellsTheElementWithReasonTwo)
{
    cProbeElement* a = Add("a", 0);
    root.SetFocusTo(a);
    EXPECT_EQ(log, std::vector<std::string>{"a: gained 2"});
    log.clear();
    drain_wakeups(root, host);
    EXPECT_EQ(log, (std::vector<std::string>{"a: action 1 from a reason 2", "root: action 1 from a reason 2"}));
}

TEST_F(FocusTest, SavedFocusComesBackWhenTheWindowIsFocusedAgain)
{
    Add("a", 0);
    cProbeElement* b = Add("b", 30);
    root.SetFocusTo(b);
    log.clear();
    root.SaveFocus();
    EXPECT_EQ(Focused(), "");
    root.RestoreFocus();
    EXPECT_EQ(Focused(), "b");
    EXPECT_EQ(log, (std::vector<std::string>{"b: lost", "b: gained 2"}));

    // Nothing saved: the root takes the focus itself.
    root.KillFocus(false, false);
    root.RestoreFocus();
    EXPECT_EQ(Focused(), "root");
}

TEST_F(FocusTest, SavedFocusInARemovedChildIsForgotten)
{
    cProbeElement* a = Add("a", 0);
    root.SetFocusTo(a);
    root.SaveFocus();
    root.RemoveChild(a);
    root.RestoreFocus();
    EXPECT_EQ(Focused(), "root");
}

TEST_F(FocusTest, TakeFocusMovesTheFocusThroughTheQueue)
{
    cProbeElement* a = Add("a", 0);
    cProbeElement inner("inner", &log);
    ASSERT_TRUE(a->AddChild(&inner, 0, 0, 5, 5));
    inner.SetFocusable(false);
    inner.TakeFocus();  // not focusable: its parent asks instead
    EXPECT_EQ(Focused(), "");
    EXPECT_EQ(host.window_focus_requests, 1);
    drain_wakeups(root, host);
    EXPECT_EQ(Focused(), "a");
    a->RemoveChild(&inner);
}

TEST_F(FocusTest, RemovingTheFocusedChildClearsThePath)
{
    cProbeElement* a = Add("a", 0);
    root.SetFocusTo(a);
    root.RemoveChild(a);
    EXPECT_EQ(root.GetFocusedChild(), nullptr);
    EXPECT_FALSE(root.DispatchKeyDown(0x41, false, false, false));
}
