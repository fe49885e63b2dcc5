// Worker threads and a running modal dialog: actions cross from the worker
// to the UI thread through the real host window's wake-up messages.

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>
#include <vector>

#include "gui/window_maker.h"
#include "tests/gui/action_test_actions.h"
#include "tests/gui/gui_test_elements.h"

namespace {

const uint32_t start_code = 50, numbered_code = 1000;
const int action_count = 1000;

// What reached a root, kept by the test beyond the root's life (the run
// destroys the root when it ends).
struct cActionLog {
    DWORD ui_thread = GetCurrentThreadId();
    int off_thread = 0;
    std::vector<int> numbers;
    std::function<void(uint32_t)> on_action;
};

// Logs the actions reaching it and on which thread, ends the run with 1
// after the last numbered action, and signals when a worker has queued a
// sent action on it.
class cActionRoot : public cChildElement {
public:
    cActionRoot(cActionLog& action_log, HANDLE sent_event) : log(action_log), sent_queued(sent_event) {}

    bool HandleAction(cChildElement*, cChildAction* action) override
    {
        log.off_thread += GetCurrentThreadId() != log.ui_thread;
        if (action->code == numbered_code) {
            log.numbers.push_back(static_cast<cCountedAction*>(action)->number);
            if (int(log.numbers.size()) == action_count)
                EndModal(1);
        } else if (log.on_action) {
            log.on_action(action->code);
        }
        return true;
    }
    bool NotifySentPending(cChildElement* element) override
    {
        SetEvent(sent_queued);
        return cChildElement::NotifySentPending(element);
    }
    void OnCreate() override { PostAction(new cChildAction(start_code)); }

private:
    cActionLog& log;
    HANDLE sent_queued;
};

class ModalActionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(maker.Init(nullptr, 0, 101));
        root = new cActionRoot(log, sent_queued);
    }
    void TearDown() override
    {
        CloseHandle(sent_queued);
        CloseHandle(worker_done);
    }

    // Runs the root modally; the worker starts once the dialog is up, and
    // must have finished when the run is over.
    intptr_t Run(std::function<void()> work)
    {
        std::thread worker;
        std::function<void(uint32_t)> handler = log.on_action;
        log.on_action = [&](uint32_t code) {
            if (code == start_code)
                worker = std::thread([&]() {
                    work();
                    SetEvent(worker_done);
                });
            else if (handler)
                handler(code);
        };
        intptr_t result = maker.RunDialog(L"actions", 160, 100, root, nullptr, false);
        if (worker.joinable()) {
            bool finished = WaitForSingleObject(worker_done, 10000) == WAIT_OBJECT_0;
            EXPECT_TRUE(finished) << "the worker is still blocked after the run";
            finished ? worker.join() : worker.detach();
        }
        return result;
    }

    cWWMaker maker;
    cActionLog log;
    cActionCounts counts;
    HANDLE sent_queued = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE worker_done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    cActionRoot* root = nullptr;
};

TEST_F(ModalActionsTest, WorkerPostsAThousandActionsHandledOnceInOrderOnTheUIThread)
{
    bool all_posted = true;
    EXPECT_EQ(Run([&]() {
                  for (int i = 0; i < action_count; ++i)
                      all_posted = root->PostAction(new cCountedAction(numbered_code, i, &counts)) && all_posted;
              }),
              1);
    EXPECT_TRUE(all_posted);
    ASSERT_EQ(log.numbers.size(), size_t(action_count));
    for (int i = 0; i < action_count; ++i)
        ASSERT_EQ(log.numbers[i], i);
    EXPECT_EQ(log.off_thread, 0);
    EXPECT_EQ(counts.done, action_count);
    EXPECT_EQ(counts.destroyed, action_count);
}

TEST_F(ModalActionsTest, SentActionBlocksTheWorkerUntilTheUIThreadAnswered)
{
    const uint32_t question = 60;
    std::atomic<bool> answered(false);
    bool answered_before_return = false, delivered = false;
    log.on_action = [&](uint32_t code) {
        if (code == question) {
            answered = true;
            root->EndModal(2);
        }
    };
    EXPECT_EQ(Run([&]() {
                  delivered = root->SendActionAndWait(new cCountedSentAction(question, &counts));
                  answered_before_return = answered.load();
              }),
              2);
    EXPECT_TRUE(delivered);
    EXPECT_TRUE(answered_before_return);
    EXPECT_EQ(log.off_thread, 0);
    EXPECT_EQ(counts.done, 1);
    EXPECT_EQ(counts.destroyed, 1);
}

TEST_F(ModalActionsTest, ClosingTheDialogReleasesAWaitingWorker)
{
    const uint32_t hold = 70, never_answered = 71;
    bool delivered = true, queued_in_time = false;
    log.on_action = [&](uint32_t code) {
        if (code != hold)
            return;
        // The worker's sent action is queued behind this handler; the run
        // ends before the UI thread ever drains it.
        queued_in_time = WaitForSingleObject(sent_queued, 10000) == WAIT_OBJECT_0;
        root->EndModal(3);
    };
    EXPECT_EQ(Run([&]() {
                  root->PostAction(new cChildElement::cChildAction(hold));
                  delivered = root->SendActionAndWait(new cCountedSentAction(never_answered, &counts));
              }),
              3);
    EXPECT_TRUE(queued_in_time);
    // The worker woke when the end of the run destroyed the root, unanswered.
    EXPECT_FALSE(delivered);
    EXPECT_EQ(counts.discarded, 1);
    EXPECT_EQ(counts.done, 0);
    EXPECT_EQ(counts.destroyed, 1);
}

}  // namespace
