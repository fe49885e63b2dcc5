#include "gui/child_element.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/event.h"
#include "tests/gui/action_test_actions.h"
#include "tests/gui/element_probe.h"
#include "tests/gui/element_test_host.h"
#include "tests/support/heap_probe.h"

namespace {

// Runs a test-given handler for actions of code 7 and above.
class cScriptedElement : public cProbeElement {
public:
    using cProbeElement::cProbeElement;
    bool HandleAction(cChildElement* sender, cChildAction* action) override
    {
        bool handled = cProbeElement::HandleAction(sender, action);
        if (action->code >= 7 && on_action)
            return on_action(static_cast<cCountedAction*>(action));
        return handled;
    }
    std::function<bool(cCountedAction*)> on_action;
};

// A form-like element that owns one child as a member.
class cOwningForm : public cProbeElement {
public:
    cOwningForm(std::vector<std::string>* event_log) : cProbeElement("form", event_log), member("member", event_log)
    {
    }
    cScriptedElement member;
};

class cTooltipOwner : public cChildElement {
public:
    void OpenTestTooltip() { tooltip = new cChildElement; }
    bool HasTooltip() const { return tooltip != nullptr; }
};

class ActionQueueTest : public ::testing::Test {
protected:
    void SetUp() override { attach_test_root(root, host, 200, 100); }

    void Drain() { results = drain_wakeups(root, host); }

    std::vector<std::string> log;
    std::vector<bool> results;
    cActionCounts counts;
    cTestHost host;
    cScriptedElement root{"root", &log};
};

}  // namespace

TEST_F(ActionQueueTest, OneDrainHandlesEveryQueuedPostInOrder)
{
    cScriptedElement child("child", &log);
    ASSERT_TRUE(root.AddChild(&child, 0, 0, 10, 10));
    std::vector<int32_t> numbers;
    child.on_action = [&numbers](cCountedAction* action) {
        numbers.push_back(action->number);
        return true;
    };
    for (int32_t i = 0; i < 3; ++i)
        EXPECT_TRUE(child.PostAction(new cCountedAction(7, i, &counts)));
    ASSERT_EQ(host.PostedWakeups(), 3u);
    Drain();
    EXPECT_EQ(numbers, (std::vector<int32_t>{0, 1, 2}));
    // The later wake-ups find the queue empty, which counts as handled.
    EXPECT_EQ(results, (std::vector<bool>{true, true, true}));
    EXPECT_EQ(counts.done, 3);
    EXPECT_EQ(counts.destroyed, 3);
}

TEST_F(ActionQueueTest, UnhandledPostIsCompletedAndDestroyed)
{
    cScriptedElement child("child", &log);
    ASSERT_TRUE(root.AddChild(&child, 0, 0, 10, 10));
    EXPECT_TRUE(child.PostAction(new cCountedAction(9, 0, &counts)));
    Drain();
    EXPECT_EQ(results, std::vector<bool>{false});
    EXPECT_EQ(log, (std::vector<std::string>{"child: action 9 from child", "root: action 9 from child"}));
    EXPECT_EQ(counts.done, 1);
    EXPECT_EQ(counts.destroyed, 1);
}

TEST_F(ActionQueueTest, PostWithoutAnActionQueuesAPlainClick)
{
    cScriptedElement child("child", &log);
    ASSERT_TRUE(root.AddChild(&child, 0, 0, 10, 10));
    child.handles_actions = true;
    EXPECT_TRUE(child.PostAction(nullptr));
    Drain();
    EXPECT_EQ(log, std::vector<std::string>{"child: action 0 from child"});
}

TEST_F(ActionQueueTest, SentActionReachesOnlyTheTarget)
{
    cScriptedElement child("child", &log);
    ASSERT_TRUE(root.AddChild(&child, 0, 0, 10, 10));
    EXPECT_TRUE(child.SendAction(new cCountedAction(8, 0, &counts)));
    EXPECT_EQ(host.SentWakeups(), 1u);
    EXPECT_EQ(host.PostedWakeups(), 0u);
    Drain();
    EXPECT_EQ(log, std::vector<std::string>{"child: action 8 from child"});
    EXPECT_EQ(results, std::vector<bool>{false});
    EXPECT_EQ(counts.done, 1);
    EXPECT_EQ(counts.destroyed, 1);
    EXPECT_FALSE(child.SendAction(nullptr));
}

TEST_F(ActionQueueTest, WakeUpForADestroyedElementDoesNothing)
{
    cScriptedElement* child = new cScriptedElement("child", &log);
    ASSERT_TRUE(root.AddChild(child, 0, 0, 10, 10));
    EXPECT_TRUE(child->PostAction(new cCountedAction(7, 0, &counts)));
    delete child;
    // Destroyed unhandled, without completion.
    EXPECT_EQ(counts.destroyed, 1);
    EXPECT_EQ(counts.done, 0);
    Drain();
    EXPECT_EQ(results, std::vector<bool>{false});
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(root.DrainPostedActions(nullptr));
    EXPECT_FALSE(root.DrainSentActions(nullptr));
}

TEST_F(ActionQueueTest, HandlerThatDestroysItsElementEndsTheDrain)
{
    cScriptedElement* child = new cScriptedElement("child", &log);
    ASSERT_TRUE(root.AddChild(child, 0, 0, 10, 10));
    child->on_action = [child](cCountedAction* action) {
        if (action->number == 0)
            delete child;
        return true;
    };
    cEvent event;
    ASSERT_TRUE(event.Create(nullptr, false, false));
    bool delivered = true;
    for (int32_t i = 0; i < 2; ++i)
        ASSERT_TRUE(child->PostAction(new cCountedAction(7, i, &counts)));
    // A waiter's action among the rest must be woken, not lost.
    cCountedSentAction* waited = new cCountedSentAction(7, &counts);
    waited->event = &event;
    waited->delivered = &delivered;
    ASSERT_TRUE(child->PostAction(waited));

    EXPECT_FALSE(root.DrainPostedActions(child));
    EXPECT_EQ(log, std::vector<std::string>{"child: action 7 from child"});
    EXPECT_EQ(counts.done, 1);
    EXPECT_EQ(counts.discarded, 2);
    EXPECT_EQ(counts.destroyed, 3);
    EXPECT_EQ(WaitForSingleObject(event.Handle(), 0), WAIT_OBJECT_0);
    EXPECT_FALSE(delivered);
}

TEST_F(ActionQueueTest, HandlerThatDestroysAnAncestorDoesNotClimbIntoIt)
{
    cOwningForm* form = new cOwningForm(&log);
    ASSERT_TRUE(root.AddChild(form, 0, 0, 100, 100));
    ASSERT_TRUE(form->AddChild(&form->member, 0, 0, 10, 10));
    // The member closes its form and still says "not mine".
    form->member.on_action = [form](cCountedAction*) {
        delete form;
        return false;
    };
    ASSERT_TRUE(form->member.PostAction(new cCountedAction(7, 0, &counts)));
    ASSERT_TRUE(form->member.PostAction(new cCountedAction(7, 1, &counts)));
    cChildElement* member = &form->member;
    EXPECT_FALSE(root.DrainPostedActions(member));
    EXPECT_EQ(log, std::vector<std::string>{"member: action 7 from member"});
    EXPECT_EQ(counts.done, 1);
    EXPECT_EQ(counts.discarded, 1);
    EXPECT_EQ(counts.destroyed, 2);
    EXPECT_FALSE(root.IsDescendant(member));
}

TEST_F(ActionQueueTest, DestroyingAnElementWakesWhoeverWaitsOnItsActions)
{
    cScriptedElement* child = new cScriptedElement("child", &log);
    ASSERT_TRUE(root.AddChild(child, 0, 0, 10, 10));
    cEvent event;
    ASSERT_TRUE(event.Create(nullptr, false, false));
    bool delivered = true;
    cCountedSentAction* waited = new cCountedSentAction(8, &counts);
    waited->event = &event;
    waited->delivered = &delivered;
    ASSERT_TRUE(child->SendAction(waited));
    ASSERT_TRUE(child->PostAction(new cCountedAction(7, 0, &counts)));
    delete child;
    EXPECT_EQ(WaitForSingleObject(event.Handle(), 0), WAIT_OBJECT_0);
    EXPECT_FALSE(delivered);
    EXPECT_EQ(counts.done, 0);
    EXPECT_EQ(counts.destroyed, 2);
}

TEST_F(ActionQueueTest, SendActionAndWaitWithoutAHostWithdrawsTheAction)
{
    cChildElement lone;
    EXPECT_FALSE(lone.SendActionAndWait(nullptr));
    EXPECT_FALSE(lone.SendActionAndWait(new cCountedSentAction(8, &counts)));
    EXPECT_EQ(counts.destroyed, 1);
    EXPECT_EQ(counts.done, 0);
    EXPECT_EQ(counts.discarded, 0);
    // Nothing is left for a later drain to complete.
    EXPECT_TRUE(lone.DrainSentActions(&lone));
}

TEST_F(ActionQueueTest, QueuedWithoutAHostWaitsForALaterWakeUp)
{
    cScriptedElement lone("lone", &log);
    lone.handles_actions = true;
    EXPECT_FALSE(lone.PostAction(new cCountedAction(7, 0, &counts)));
    EXPECT_EQ(counts.destroyed, 0);
    ASSERT_TRUE(root.AddChild(&lone, 0, 0, 10, 10));
    EXPECT_TRUE(lone.PostAction(new cCountedAction(7, 1, &counts)));
    Drain();
    EXPECT_EQ(log, (std::vector<std::string>{"lone: action 7 from lone", "lone: action 7 from lone"}));
    EXPECT_EQ(counts.done, 2);
}

TEST_F(ActionQueueTest, ChangedHintTextClosesTheOpenTooltip)
{
    cTooltipOwner child;
    ASSERT_TRUE(root.AddChild(&child, 0, 0, 10, 10));
    child.SetHintText(L"no tooltip yet");
    EXPECT_EQ(host.PostedWakeups(), 0u);
    child.OpenTestTooltip();
    child.SetHintText(L"new hint");
    ASSERT_EQ(host.PostedWakeups(), 1u);
    Drain();
    EXPECT_FALSE(child.HasTooltip());
    EXPECT_EQ(results, std::vector<bool>{true});

    // From another sender, code 5 is not the base element's business.
    cTooltipOwner other;
    other.OpenTestTooltip();
    cChildElement::cChildAction close(5);
    EXPECT_FALSE(other.HandleAction(&child, &close));
    EXPECT_TRUE(other.HasTooltip());
    EXPECT_TRUE(other.HandleAction(&other, &close));
    EXPECT_FALSE(other.HasTooltip());
}

TEST_F(ActionQueueTest, QueuesGiveBackTheirMemory)
{
    cScriptedElement child("child", nullptr);
    ASSERT_TRUE(root.AddChild(&child, 0, 0, 10, 10));
    child.handles_actions = true;
    host.posted_wakeups.reserve(64);  // the host's records take no blocks meanwhile
    int before = heap_busy_blocks();
    for (int32_t i = 0; i < 50; ++i)
        child.PostAction(nullptr);
    bool drained = root.DrainPostedActions(&child);
    int after = heap_busy_blocks();
    EXPECT_TRUE(drained);
    EXPECT_EQ(after, before);
}
