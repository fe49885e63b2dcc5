#include "gui/child_element.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>
#include <vector>

#include "base/event.h"
#include "tests/gui/action_test_actions.h"
#include "tests/gui/element_test_host.h"

namespace {

const UINT wake_posted = WM_APP + 1;
const UINT wake_sent = WM_APP + 2;
const DWORD deadlock_guard_ms = 20000;  // only ends a run that would hang

// Records every numbered action it handles, with the thread it ran on; sent
// questions are answered by writing into the sender's answer slot.
class cRecordingElement : public cChildElement {
public:
    bool HandleAction(cChildElement* sender, cChildAction* action) override
    {
        if (action->code == 7) {
            numbers.push_back(static_cast<cCountedAction*>(action)->number);
            threads.push_back(GetCurrentThreadId());
            return true;
        }
        if (action->code == 8) {
            cCountedSentAction* question = static_cast<cCountedSentAction*>(action);
            answered_while_waiting = !worker_returned;
            if (question->answer)
                *question->answer = 42;
            return true;
        }
        return cChildElement::HandleAction(sender, action);
    }
    std::vector<int32_t> numbers;
    std::vector<DWORD> threads;
    std::atomic<bool> worker_returned{false};
    bool answered_while_waiting = false;
};

// Closes (destroys) itself when it handles an action of code 6.
class cClosingElement : public cChildElement {
public:
    bool HandleAction(cChildElement*, cChildAction* action) override
    {
        if (action->code == 6)
            delete this;
        return true;
    }
};

// The window's part, played by this test's UI thread: wake-ups become
// thread messages, and the message loop drains the queues they name.
class ActionThreadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        MSG msg;
        PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // gives this thread its queue
        ui_thread = GetCurrentThreadId();
        host.on_posted = [this](cChildElement* element) {
            return PostThreadMessageW(ui_thread, wake_posted, 0, LPARAM(element)) != 0;
        };
        host.on_sent = [this](cChildElement* element) {
            return PostThreadMessageW(ui_thread, wake_sent, 0, LPARAM(element)) != 0;
        };
        attach_test_root(*root, host, 10, 10);
    }
    void TearDown() override { delete root; }

    // Pumps until done() holds; false when nothing arrived for a long time.
    template <class Done>
    bool PumpUntil(Done done)
    {
        while (!done()) {
            MSG msg;
            if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (MsgWaitForMultipleObjects(0, nullptr, FALSE, deadlock_guard_ms, QS_ALLINPUT) == WAIT_TIMEOUT)
                    return false;
                continue;
            }
            if (msg.message == wake_posted)
                root->DrainPostedActions(reinterpret_cast<cChildElement*>(msg.lParam));
            else if (msg.message == wake_sent)
                root->DrainSentActions(reinterpret_cast<cChildElement*>(msg.lParam));
        }
        return true;
    }
    // Sent actions are queued but not drained; the event tells they were.
    void SignalSentInstead()
    {
        ASSERT_TRUE(queued.Create(nullptr, false, true));
        host.on_sent = [this](cChildElement*) {
            queued.Set();
            return true;
        };
    }

    DWORD ui_thread = 0;
    cActionCounts counts;
    cTestHost host;
    cRecordingElement* root = new cRecordingElement;  // null once a test destroyed it
    cEvent queued;
};

}  // namespace

TEST_F(ActionThreadTest, WorkerPostsAreHandledOnceInOrderOnTheUiThread)
{
    const int32_t total = 1000;
    cChildElement child;
    ASSERT_TRUE(root->AddChild(&child, 0, 0, 5, 5));
    std::atomic<int32_t> refused{0};
    std::thread worker([&] {
        for (int32_t i = 0; i < total; ++i)
            refused += !child.PostAction(new cCountedAction(7, i, &counts));
    });
    bool finished = PumpUntil([&] { return root->numbers.size() >= size_t(total); });
    worker.join();
    ASSERT_TRUE(finished);
    EXPECT_EQ(refused, 0);
    std::vector<int32_t> expected;
    for (int32_t i = 0; i < total; ++i)
        expected.push_back(i);
    EXPECT_EQ(root->numbers, expected);
    EXPECT_EQ(root->threads, std::vector<DWORD>(size_t(total), ui_thread));
    EXPECT_EQ(counts.done, total);
    EXPECT_EQ(counts.destroyed, total);
}

TEST_F(ActionThreadTest, SendActionAndWaitBlocksTheWorkerUntilAnswered)
{
    int answer = 0;
    bool result = false;
    std::thread worker([&] {
        result = root->SendActionAndWait(new cCountedSentAction(8, &counts, &answer));
        root->worker_returned = true;
    });
    bool finished = PumpUntil([&] { return counts.done.load() == 1; });
    worker.join();
    ASSERT_TRUE(finished);
    EXPECT_TRUE(root->answered_while_waiting);
    EXPECT_TRUE(result);
    EXPECT_EQ(answer, 42);
    EXPECT_EQ(counts.destroyed, 1);
}

TEST_F(ActionThreadTest, DestroyingTheElementReleasesAWaitingWorker)
{
    SignalSentInstead();
    cEvent returned;
    ASSERT_TRUE(returned.Create(nullptr, false, true));
    bool result = true;
    std::thread worker([&] {
        result = root->SendActionAndWait(new cCountedSentAction(8, &counts));
        returned.Set();
    });
    ASSERT_EQ(WaitForSingleObject(queued.Handle(), deadlock_guard_ms), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(returned.Handle(), 0), WAIT_TIMEOUT);
    delete root;
    root = nullptr;
    DWORD released = WaitForSingleObject(returned.Handle(), deadlock_guard_ms);
    worker.join();
    EXPECT_EQ(released, WAIT_OBJECT_0);
    EXPECT_FALSE(result);
    EXPECT_EQ(counts.discarded, 1);
    EXPECT_EQ(counts.done, 0);
    EXPECT_EQ(counts.destroyed, 1);
}

TEST_F(ActionThreadTest, WaiterBehindAnActionThatDestroysTheElementWakesWithFalse)
{
    cClosingElement* target = new cClosingElement;
    ASSERT_TRUE(root->AddChild(target, 0, 0, 5, 5));
    ASSERT_TRUE(target->SendAction(new cChildElement::cChildAction(6)));  // first in the queue
    SignalSentInstead();
    bool result = true;
    std::thread worker([&] { result = target->SendActionAndWait(new cCountedSentAction(8, &counts)); });
    ASSERT_EQ(WaitForSingleObject(queued.Handle(), deadlock_guard_ms), WAIT_OBJECT_0);
    EXPECT_FALSE(root->DrainSentActions(target));
    worker.join();
    EXPECT_FALSE(result);
    EXPECT_FALSE(root->IsDescendant(target));
    EXPECT_EQ(counts.discarded, 1);
    EXPECT_EQ(counts.destroyed, 1);
}

TEST_F(ActionThreadTest, FailedWakeUpReturnsAtOnceAndLeavesNothingQueued)
{
    host.on_sent = [](cChildElement*) { return false; };
    bool result = true;
    std::thread worker([&] { result = root->SendActionAndWait(new cCountedSentAction(8, &counts)); });
    worker.join();
    EXPECT_FALSE(result);
    EXPECT_EQ(counts.destroyed, 1);
    EXPECT_EQ(counts.done, 0);
    EXPECT_TRUE(root->DrainSentActions(root));  // nothing left to signal a closed event
}
