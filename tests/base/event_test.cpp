#include "base/event.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

TEST(Event, WaitReturnsWhenAnotherThreadSets)
{
    cEvent ready, done;
    ASSERT_TRUE(ready.Create(nullptr, false, false));
    ASSERT_TRUE(done.Create(nullptr, false, false));
    std::atomic<bool> woke(false);
    std::thread waiter([&] {
        woke = ready.Wait();
        done.Set();
    });
    EXPECT_EQ(WaitForSingleObject(done.Handle(), 50), DWORD(WAIT_TIMEOUT));
    ready.Set();
    EXPECT_TRUE(done.Wait());
    waiter.join();
    EXPECT_TRUE(woke);
}

TEST(Event, ManualResetStaysSignalledAutoResetWakesOnce)
{
    cEvent manual, automatic;
    ASSERT_TRUE(manual.Create(nullptr, true, true));
    ASSERT_TRUE(automatic.Create(nullptr, true, false));
    EXPECT_TRUE(manual.Wait());
    EXPECT_TRUE(manual.Wait());
    EXPECT_TRUE(automatic.Wait());
    EXPECT_EQ(WaitForSingleObject(automatic.Handle(), 0), DWORD(WAIT_TIMEOUT));
}

TEST(Event, SameNameOpensTheSameEvent)
{
    cEvent first, second;
    ASSERT_TRUE(first.Create(L"pelmaro-event-test", false, true));
    ASSERT_TRUE(second.Create(L"pelmaro-event-test", false, true));
    EXPECT_NE(first.Handle(), second.Handle());
    first.Set();
    EXPECT_TRUE(second.Wait());
}

TEST(Event, WithoutHandleWaitFailsAndSetIsHarmless)
{
    cEvent event;
    EXPECT_EQ(event.Handle(), HANDLE(0));
    event.Set();
    EXPECT_FALSE(event.Wait());
    ASSERT_TRUE(event.Create(nullptr, true, true));
    event.Close();
    EXPECT_EQ(event.Handle(), HANDLE(0));
    EXPECT_FALSE(event.Wait());
}
