#include "gui/child_element.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/event.h"
#include "tests/gui/action_test_actions.h"
#include "tests/gui/element_probe.h"
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
    explicit cOwningForm(cEvents* event_log) : cProbeElement("form", event_log), member("member", event_log) {}
    cScriptedElement member;
};

class cTooltipOwner : public cChildElement {
public:
    void OpenTestTooltip() { tooltip = new cChildElement; }
    bool HasTooltip() const { return tooltip != nullptr; }
};

// A thread waiting on a sent action, played by this thread's stack.
struct cWaiter {
    cWaiter() { event.Create(nullptr, false, false); }
    cCountedSentAction* Action(uint32_t code, cActionCounts* counts)
    {
        cCountedSentAction* action = new cCountedSentAction(code, counts);
        action->event = &event;
        action->delivered = &delivered;
        return action;
    }
    bool Woken() const { return WaitForSingleObject(event.Handle(), 0) == WAIT_OBJECT_0; }
    cEvent event;
    bool delivered = true;
};

class ActionQueueTest : public cElementFixture<200, 100, cScriptedElement> {
protected:
    void Drain() { results = drain_wakeups(root, host); }
    void ExpectCounts(int done, int discarded, int destroyed)
    {
        EXPECT_EQ(counts.done, done);
        EXPECT_EQ(counts.discarded, discarded);
        EXPECT_EQ(counts.destroyed, destroyed);
    }

    std::vector<bool> results;
    cActionCounts counts;
};

}  // namespace

TEST_F(ActionQueueTest, OneDrainHandlesEveryQueuedPostInOrder)
{
    cScriptedElement* child = Add<cScriptedElement>("child", 0, 0, 10, 10);
    std::vector<int32_t> numbers;
    child->on_action = [&numbers](cCountedAction* action) {
        numbers.push_back(action->number);
        return true;
    };
    for (int32_t i = 0; i < 3; ++i)
        EXPECT_TRUE(child->PostAction(new cCountedAction(7, i, &counts)));
    ASSERT_EQ(host.PostedWakeups(), 3u);
    Drain();
    EXPECT_EQ(numbers, (std::vector<int32_t>{0, 1, 2}));
    // The later wake-ups find the queue empty, which counts as handled.
    EXPECT_EQ(results, (std::vector<bool>{true, true, true}));
    ExpectCounts(3, 0, 3);
}

// The first handler opens a nested run (played by draining the pending
// wake-ups, as its message loop would) after one more action was queued:
// the nested run takes up the rest of the queue in order, so a sender
// behind the first action is answered inside the nested run.
TEST_F(ActionQueueTest, NestedRunInAHandlerKeepsTheQueueOrder)
{
    for (bool sent : {false, true}) {
        SCOPED_TRACE(sent ? "sent" : "posted");
        owned.clear();
        cScriptedElement* child = Add<cScriptedElement>("child", 0, 0, 10, 10);
        auto queue = [&](int32_t number) {
            cCountedAction* action = new cCountedAction(7, number, &counts);
            return sent ? child->SendAction(action) : child->PostAction(action);
        };
        std::vector<int32_t> numbers;
        child->on_action = [&](cCountedAction* action) {
            numbers.push_back(action->number);
            if (action->number == 101) {
                EXPECT_TRUE(queue(103));
                drain_wakeups(root, host);
            }
            return true;
        };
        ASSERT_TRUE(queue(101));
        ASSERT_TRUE(queue(102));
        Drain();
        EXPECT_EQ(numbers, (std::vector<int32_t>{101, 102, 103}));
    }
}

TEST_F(ActionQueueTest, UnhandledPostClimbsToTheRootAndIsCompleted)
{
    cScriptedElement* child = Add<cScriptedElement>("child", 0, 0, 10, 10);
    EXPECT_TRUE(child->PostAction(new cCountedAction(9, 0, &counts)));
    Drain();
    EXPECT_EQ(results, std::vector<bool>{false});
    EXPECT_EQ(log, (cEvents{"child: action 9 from child", "root: action 9 from child"}));
    ExpectCounts(1, 0, 1);

    // Without an action a plain click is queued.
    log.clear();
    child->handles_actions = true;
    EXPECT_TRUE(child->PostAction(nullptr));
    Drain();
    EXPECT_EQ(log, cEvents{"child: action 0 from child"});
}

TEST_F(ActionQueueTest, SentActionReachesOnlyTheTarget)
{
    cScriptedElement* child = Add<cScriptedElement>("child", 0, 0, 10, 10);
    EXPECT_TRUE(child->SendAction(new cCountedAction(8, 0, &counts)));
    EXPECT_EQ(host.SentWakeups(), 1u);
    EXPECT_EQ(host.PostedWakeups(), 0u);
    Drain();
    EXPECT_EQ(log, cEvents{"child: action 8 from child"});
    EXPECT_EQ(results, std::vector<bool>{false});
    ExpectCounts(1, 0, 1);
    EXPECT_FALSE(child->SendAction(nullptr));
}

TEST_F(ActionQueueTest, DestroyedElementDiscardsItsQueuesWakesWaitersAndIgnoresLateWakeUps)
{
    cScriptedElement* child = new cScriptedElement("child", &log);
    ASSERT_TRUE(root.AddChild(child, 0, 0, 10, 10));
    cWaiter waiter;
    ASSERT_TRUE(child->SendAction(waiter.Action(8, &counts)));
    ASSERT_TRUE(child->PostAction(new cCountedAction(7, 0, &counts)));
    delete child;
    EXPECT_TRUE(waiter.Woken());
    EXPECT_FALSE(waiter.delivered);
    ExpectCounts(0, 2, 2);
    Drain();
    EXPECT_EQ(results, (std::vector<bool>{false, false}));
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(root.DrainPostedActions(nullptr));
    EXPECT_FALSE(root.DrainSentActions(nullptr));
}

TEST_F(ActionQueueTest, HandlerThatDestroysItsElementEndsTheDrain)
{
    for (bool sent : {false, true}) {
        SCOPED_TRACE(sent ? "sent" : "posted");
        log.clear();
        counts.done = counts.discarded = counts.destroyed = 0;
        cScriptedElement* child = new cScriptedElement("child", &log);
        ASSERT_TRUE(root.AddChild(child, 0, 0, 10, 10));
        child->on_action = [child](cCountedAction* action) {
            if (action->number == 0)
                delete child;
            return true;
        };
        auto queue = [&](cChildElement::cChildAction* action) {
            return sent ? child->SendAction(action) : child->PostAction(action);
        };
        for (int32_t i = 0; i < 2; ++i)
            ASSERT_TRUE(queue(new cCountedAction(7, i, &counts)));
        // A waiter's action among the rest must be woken, not lost.
        cWaiter waiter;
        ASSERT_TRUE(queue(waiter.Action(7, &counts)));

        EXPECT_FALSE(sent ? root.DrainSentActions(child) : root.DrainPostedActions(child));
        EXPECT_EQ(log, cEvents{"child: action 7 from child"});
        ExpectCounts(1, 2, 3);
        EXPECT_TRUE(waiter.Woken());
        EXPECT_FALSE(waiter.delivered);
    }
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
    EXPECT_EQ(log, cEvents{"member: action 7 from member"});
    ExpectCounts(1, 1, 2);
    EXPECT_FALSE(root.IsDescendant(member));
}

TEST_F(ActionQueueTest, WithoutAHostSendAndWaitWithdrawsAndPostsWaitForALaterWakeUp)
{
    cScriptedElement lone("lone", &log);
    EXPECT_FALSE(lone.SendActionAndWait(nullptr));
    EXPECT_FALSE(lone.SendActionAndWait(new cCountedSentAction(8, &counts)));
    ExpectCounts(0, 0, 1);
    EXPECT_TRUE(lone.DrainSentActions(&lone));  // nothing left for a later drain to complete

    lone.handles_actions = true;
    EXPECT_FALSE(lone.PostAction(new cCountedAction(7, 0, &counts)));
    EXPECT_EQ(counts.destroyed, 1);
    ASSERT_TRUE(root.AddChild(&lone, 0, 0, 10, 10));
    EXPECT_TRUE(lone.PostAction(new cCountedAction(7, 1, &counts)));
    Drain();
    EXPECT_EQ(log, (cEvents{"lone: action 7 from lone", "lone: action 7 from lone"}));
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
