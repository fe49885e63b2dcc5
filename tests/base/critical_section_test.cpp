#include "base/critical_section.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

// A thread that enters the section, then signals. While the section is held
// elsewhere it cannot signal, however long we wait.
class cContender {
public:
    explicit cContender(cCriticalSection& section) : entered(CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
        thread = std::thread([this, &section] {
            section.Enter();
            SetEvent(entered);
            section.Leave();
        });
    }
    ~cContender()
    {
        thread.join();
        CloseHandle(entered);
    }
    bool EnteredWithin(DWORD ms) { return WaitForSingleObject(entered, ms) == WAIT_OBJECT_0; }
    bool EventuallyEnters() { return EnteredWithin(INFINITE); }

private:
    HANDLE entered;
    std::thread thread;
};

}  // namespace

TEST(CriticalSection, GuardedCounterLosesNoIncrements)
{
    cCriticalSection section;
    volatile int counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 2000; ++i) {
                cSafeCriticalSectionAccess lock(&section);
                int seen = counter;
                if (i % 64 == 0)
                    Sleep(0);  // invite a switch between read and write
                counter = seen + 1;
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(counter, 8000);
}

TEST(CriticalSection, OwnerMayEnterAgainAndOthersWaitForItsLastLeave)
{
    cCriticalSection section;
    section.Enter();
    section.Enter();
    section.Leave();
    cContender other(section);
    EXPECT_FALSE(other.EnteredWithin(50));  // one entry still held
    section.Leave();
    EXPECT_TRUE(other.EventuallyEnters());
}

TEST(CriticalSection, ScopedAccessHoldsUntilItsEnd)
{
    cCriticalSection section;
    std::unique_ptr<cContender> other;
    {
        cSafeCriticalSectionAccess lock(&section);
        other.reset(new cContender(section));
        EXPECT_FALSE(other->EnteredWithin(100));
    }
    EXPECT_TRUE(other->EventuallyEnters());
}

TEST(CriticalSection, ScopedUnlockLeavesAnEnteredSection)
{
    cCriticalSection section;
    section.Enter();
    std::unique_ptr<cContender> other;
    {
        cSafeCriticalSectionUnlock unlock(&section);
        other.reset(new cContender(section));
        EXPECT_FALSE(other->EnteredWithin(50));
    }
    EXPECT_TRUE(other->EventuallyEnters());
}

TEST(CriticalSection, NullScopedLocksDoNothing)
{
    cCriticalSection section;
    section.Enter();
    cContender other(section);
    {
        cSafeCriticalSectionAccess none(nullptr);
        cSafeCriticalSectionUnlock nothing(nullptr);
    }
    // Neither released the section this thread holds.
    EXPECT_FALSE(other.EnteredWithin(100));
    section.Leave();
    EXPECT_TRUE(other.EventuallyEnters());
}
