#include "gui/child_element.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "tests/gui/element_probe.h"

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

class FocusTest : public cElementFixture<300, 100, cWrappingRoot> {
protected:
    // A tab-stop child at x, in the root or in parent.
    cProbeElement* Stop(const char* name, int32_t at_x, cChildElement* parent = nullptr)
    {
        cProbeElement* child = new cProbeElement(name, &log);
        child->tab_stop_default = true;
        owned.emplace_back(child);
        EXPECT_TRUE((parent ? parent : &root)->AddChild(child, at_x, 10, 20, 20));
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
    // Where the focus is after each of count presses of key, each handled.
    cEvents Walk(uint32_t key, bool shift, int count)
    {
        cEvents seen;
        for (int i = 0; i < count; ++i) {
            EXPECT_TRUE(root.DispatchKeyDown(key, shift, false, false));
            seen.push_back(Focused());
        }
        return seen;
    }
};

}  // namespace

TEST_F(FocusTest, TabFollowsInsertionOrderAndWraps)
{
    EXPECT_FALSE(root.DispatchKeyDown(key_tab, false, false, false));  // nothing to focus yet
    Stop("c", 200);
    Stop("a", 0);
    Stop("b", 100);
    EXPECT_EQ(Walk(key_tab, false, 4), (cEvents{"c", "a", "b", "c"}));
    EXPECT_EQ(Walk(key_tab, true, 3), (cEvents{"b", "a", "c"}));
}

TEST_F(FocusTest, TabSkipsElementsThatCannotTakeIt)
{
    Stop("first", 0);
    cProbeElement* plain = Stop("plain", 30);
    plain->SetEnabled(false);
    Stop("hidden", 60)->Hide(false);
    Stop("unpainted", 90)->DisablePainting(false);
    cProbeElement* unfocusable = Stop("unfocusable", 120);
    unfocusable->SetFocusable(false);
    Stop("last", 150);
    EXPECT_FALSE(plain->IsEnabled());
    EXPECT_FALSE(unfocusable->IsEnabled());
    EXPECT_EQ(Walk(key_tab, false, 2), (cEvents{"first", "last"}));
}

TEST_F(FocusTest, TabEntersNestedPanelsInOrder)
{
    cProbeElement* before = Stop("before", 0);
    cProbeElement* panel = Add("panel", 100, 0, 100, 100);
    Stop("inner1", 0, panel);
    cProbeElement* inner2 = Stop("inner2", 20, panel);
    EXPECT_EQ(Walk(key_tab, false, 4), (cEvents{"before", "inner1", "inner2", "before"}));
    EXPECT_TRUE(before->HasFocus());
    EXPECT_FALSE(inner2->HasFocus());
    EXPECT_EQ(panel->GetFocusedChild(), nullptr);
}

TEST_F(FocusTest, ArrowKeysMoveAmongArrowFocusChildrenWithoutWrap)
{
    Stop("a", 0);
    Stop("b", 30);
    Stop("no arrows", 60)->SetWantsArrowKeys(false);
    Stop("c", 90);
    // At the end the focus stays and the key counts as handled.
    EXPECT_EQ(Walk(key_right, false, 1), cEvents{"a"});
    EXPECT_EQ(Walk(key_down, false, 3), (cEvents{"b", "c", "c"}));
    EXPECT_EQ(Walk(key_left, false, 1), cEvents{"b"});
}

TEST_F(FocusTest, ArrowKeysWrapWhenTheParentAsksForIt)
{
    root.wraps = true;
    root.InitDefaults();
    Stop("a", 0);
    Stop("b", 30);
    EXPECT_EQ(Walk(key_right, false, 3), (cEvents{"a", "b", "a"}));
    EXPECT_EQ(Walk(key_left, false, 1), cEvents{"b"});
}

TEST_F(FocusTest, ElementThatConsumesArrowsGetsThemAsKeys)
{
    Stop("a", 0);
    cProbeElement* edit = Stop("edit", 30);
    edit->consumes_arrows = true;
    root.SetFocusTo(edit);
    log.clear();
    EXPECT_EQ(Walk(key_right, false, 1), cEvents{"edit"});
    EXPECT_EQ(Walk(key_left, false, 1), cEvents{"edit"});
    EXPECT_EQ(log, (cEvents{"edit: key 39", "edit: key 37"}));
}

TEST_F(FocusTest, PressMovesTheFocusToTheFocusableElementUnderIt)
{
    cProbeElement* a = Stop("a", 0);
    Stop("b", 100);
    root.FocusAtPoint(5, 15, 1, false, false);
    EXPECT_EQ(root.GetFocusedChild(), a);
    log.clear();
    root.FocusAtPoint(105, 15, 1, false, false);
    EXPECT_EQ(Focused(), "b");
    EXPECT_EQ(log, (cEvents{"a: lost", "b: gained 1"}));

    // A press where no child is, or on a child that is not focusable, takes
    // the focus to the parent; the parent's own flag is not consulted.
    log.clear();
    root.FocusAtPoint(250, 80, 1, false, false);
    EXPECT_EQ(Focused(), "root");
    EXPECT_EQ(log, (cEvents{"b: lost", "root: gained 1"}));
    a->SetFocusable(false);
    root.SetFocusable(false);
    root.SetFocusTo(a);
    drain_wakeups(root, host);
    log.clear();
    root.FocusAtPoint(5, 15, 1, false, false);
    EXPECT_EQ(Focused(), "root");
    EXPECT_EQ(log, (cEvents{"a: lost", "root: gained 1"}));
    log.clear();
    drain_wakeups(root, host);
    EXPECT_EQ(log, cEvents{"root: action 1 from root reason 1"});
}

TEST_F(FocusTest, SetFocusToTellsTheElementWithReasonTwo)
{
    root.SetFocusTo(Stop("a", 0));
    EXPECT_EQ(log, cEvents{"a: gained 2"});
    log.clear();
    drain_wakeups(root, host);
    EXPECT_EQ(log, (cEvents{"a: action 1 from a reason 2", "root: action 1 from a reason 2"}));
}

TEST_F(FocusTest, SavedFocusComesBackUnlessItsElementWasRemoved)
{
    Stop("a", 0);
    cProbeElement* b = Stop("b", 30);
    root.SetFocusTo(b);
    log.clear();
    root.SaveFocus();
    EXPECT_EQ(Focused(), "");
    root.RestoreFocus();
    EXPECT_EQ(Focused(), "b");
    EXPECT_EQ(log, (cEvents{"b: lost", "b: gained 2"}));

    // Nothing saved, or saved in a removed child: the root takes the focus.
    root.KillFocus(false, false);
    root.RestoreFocus();
    EXPECT_EQ(Focused(), "root");
    root.SetFocusTo(b);
    root.SaveFocus();
    root.RemoveChild(b);
    root.RestoreFocus();
    EXPECT_EQ(Focused(), "root");
}

TEST_F(FocusTest, ArrowFromTheRootHandsItsFocusOverAndDeactivationKeepsItThere)
{
    Stop("a", 0);
    Stop("b", 30);
    root.SetFocusTo(&root);
    log.clear();
    EXPECT_EQ(Walk(key_right, false, 1), cEvents{"a"});
    EXPECT_FALSE(root.HasFocus());
    EXPECT_EQ(log, (cEvents{"a: gained 2", "root: lost"}));
    root.SaveFocus();
    root.RestoreFocus();
    EXPECT_EQ(Focused(), "a");
}

TEST_F(FocusTest, TakeFocusMovesTheFocusThroughTheQueue)
{
    cProbeElement* a = Stop("a", 0);
    cProbeElement* inner = Add("inner", 0, 0, 5, 5, a);
    inner->SetFocusable(false);
    inner->TakeFocus();  // not focusable: its parent asks instead
    EXPECT_EQ(Focused(), "");
    EXPECT_EQ(host.window_focus_requests, 1);
    drain_wakeups(root, host);
    EXPECT_EQ(Focused(), "a");
}

TEST_F(FocusTest, RemovingTheFocusedChildClearsThePath)
{
    cProbeElement* a = Stop("a", 0);
    root.SetFocusTo(a);
    root.RemoveChild(a);
    EXPECT_EQ(root.GetFocusedChild(), nullptr);
    EXPECT_FALSE(root.DispatchKeyDown(0x41, false, false, false));
}

TEST_F(FocusTest, ElementDestroyedByLosingTheFocusLeavesTheWalkSound)
{
    struct cCase {
        const char* leave;
        std::function<void()> move;
        std::string lands_on;
    } cases[] = {
        {"tab", [this] { root.DispatchKeyDown(key_tab, false, false, false); }, "c"},
        {"shift tab", [this] { root.DispatchKeyDown(key_tab, true, false, false); }, "a"},
        {"right arrow", [this] { root.DispatchKeyDown(key_right, false, false, false); }, "c"},
        {"press", [this] { root.FocusAtPoint(205, 15, 1, false, false); }, "c"},
    };
    for (const cCase& c : cases) {
        owned.clear();
        Stop("a", 0);
        cDoomedProbe* editor = new cDoomedProbe("editor", &log);
        editor->tab_stop_default = true;
        editor->destroy_on_focus_lost = true;
        ASSERT_TRUE(root.AddChild(editor, 100, 10, 20, 20));
        Stop("c", 200);
        root.SetFocusTo(editor);
        c.move();
        EXPECT_EQ(Focused(), c.lands_on) << c.leave;
        EXPECT_FALSE(cDoomedProbe::TouchedAfterFree()) << c.leave;
    }
}

TEST_F(FocusTest, ParentThatDropsItsFocusedChildOnReleaseEndsThePathThere)
{
    cDoomedProbe* list = new cDoomedProbe("list", &log);
    list->destroy_released_child = true;
    ASSERT_TRUE(root.AddChild(list, 0, 0, 100, 50));
    cDoomedProbe* editor = new cDoomedProbe("editor", &log);
    ASSERT_TRUE(list->AddChild(editor, 0, 0, 20, 20));
    cProbeElement* other = Stop("other", 200);
    root.SetFocusTo(editor);
    root.SetFocusTo(other);
    EXPECT_EQ(Focused(), "other");
    EXPECT_EQ(list->GetFocusedChild(), nullptr);
    delete list;
    EXPECT_FALSE(cDoomedProbe::TouchedAfterFree());
}

TEST_F(FocusTest, PressElsewhereTakesTheFocusAlsoFromAnUnpaintedHolder)
{
    cProbeElement* a = Stop("a", 0);
    Stop("b", 100);
    Stop("c", 200);
    root.SetFocusTo(a);
    a->DisablePainting(false);
    log.clear();
    root.FocusAtPoint(105, 15, 1, false, false);
    EXPECT_EQ(Focused(), "b");
    EXPECT_FALSE(a->HasFocus());
    EXPECT_EQ(std::count(log.begin(), log.end(), "a: lost"), 1);
    // Painted again, it takes its turn in the Tab order as before.
    a->EnablePainting(false);
    EXPECT_EQ(Walk(key_tab, false, 2), (cEvents{"c", "a"}));
}
