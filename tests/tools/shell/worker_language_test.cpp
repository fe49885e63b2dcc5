// A worker thread's language switch runs on the thread that drains the
// element's actions, the UI thread, while the worker waits.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>
#include <vector>

#include "gui/language.h"
#include "tests/gui/element_test_host.h"
#include "tools/shell/app_language.h"

namespace {

// The application's texts, noting the thread of every load.
class cRecordingLang : public cSOPKGLang {
public:
    int32_t LoadLanguage(uint32_t index) override
    {
        loading_threads.push_back(GetCurrentThreadId());
        return cSOPKGLang::LoadLanguage(index);
    }
    std::vector<DWORD> loading_threads;
};

}  // namespace

TEST(WorkerLanguage, SwitchRunsOnTheDrainingThreadWhileTheWorkerWaits)
{
    static cCIOMLang framework;
    static cRecordingLang application;
    ASSERT_TRUE(set_language(0));
    application.loading_threads.clear();

    cTestHost host;
    cChildElement root;
    attach_test_root(root, host, 100, 100);
    std::atomic<int> outcome{-1};
    std::thread worker([&] { outcome = apply_language_from_worker(&root, 2) ? 1 : 0; });
    // The worker waits until this thread has drained its action.
    Sleep(200);
    EXPECT_EQ(outcome, -1);
    EXPECT_EQ(get_current_language(), 0u);
    for (int i = 0; i < 500 && outcome == -1; ++i) {
        drain_wakeups(root, host);
        Sleep(10);
    }
    worker.join();
    EXPECT_EQ(outcome, 1);
    EXPECT_EQ(get_current_language(), 2u);
    ASSERT_FALSE(application.loading_threads.empty());
    for (DWORD thread : application.loading_threads)
        EXPECT_EQ(thread, GetCurrentThreadId());

    // An element without a window takes no action: nothing changes.
    cChildElement lone;
    EXPECT_FALSE(apply_language_from_worker(&lone, 1));
    EXPECT_FALSE(apply_language_from_worker(nullptr, 1));
    EXPECT_EQ(get_current_language(), 2u);
}
