// Events and the handle table: signals are neither lost nor handed out twice,
// and bad handles fail without harm.
#include <atomic>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "platform/windows.h"
#include "platform/winx.h"

namespace {

TEST(Kernel_Events, InitialStateAndAutoResetConsumeOneSignal) {
    HANDLE set_at_start = CreateEventA(nullptr, FALSE, TRUE, nullptr);
    HANDLE clear_at_start = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ASSERT_NE(set_at_start, nullptr);
    ASSERT_NE(clear_at_start, nullptr);
    EXPECT_EQ(WaitForSingleObject(set_at_start, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(set_at_start, 0), WAIT_TIMEOUT);  // consumed
    EXPECT_EQ(WaitForSingleObject(clear_at_start, 20), WAIT_TIMEOUT);

    // A set with nobody waiting is kept for the next wait, and two sets are
    // still one signal.
    EXPECT_TRUE(SetEvent(clear_at_start));
    EXPECT_TRUE(SetEvent(clear_at_start));
    EXPECT_EQ(WaitForSingleObject(clear_at_start, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(clear_at_start, 0), WAIT_TIMEOUT);

    EXPECT_TRUE(SetEvent(clear_at_start));
    EXPECT_TRUE(ResetEvent(clear_at_start));
    EXPECT_EQ(WaitForSingleObject(clear_at_start, 0), WAIT_TIMEOUT);
    EXPECT_TRUE(CloseHandle(set_at_start));
    EXPECT_TRUE(CloseHandle(clear_at_start));
}

TEST(Kernel_Events, ManualResetStaysSignalledUntilReset) {
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> released{0};
    std::thread first([&] { released += WaitForSingleObject(event, 5000) == WAIT_OBJECT_0; });
    std::thread second([&] { released += WaitForSingleObject(event, 5000) == WAIT_OBJECT_0; });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    auto set_at = std::chrono::steady_clock::now();
    SetEvent(event);
    first.join();
    second.join();
    EXPECT_EQ(released, 2);
    EXPECT_LT(std::chrono::steady_clock::now() - set_at, std::chrono::seconds(2));  // both at once
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    ResetEvent(event);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    CloseHandle(event);
}

TEST(Kernel_Events, OneSetWakesExactlyOneOfTwoWaiters) {
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    std::atomic<int> woken{0};
    std::atomic<int> timed_out{0};
    auto waiter = [&] {
        DWORD result = WaitForSingleObject(event, 500);
        if (result == WAIT_OBJECT_0) ++woken;
        if (result == WAIT_TIMEOUT) ++timed_out;
    };
    std::thread first(waiter);
    std::thread second(waiter);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // both are waiting
    SetEvent(event);
    first.join();
    second.join();
    EXPECT_EQ(woken, 1);
    EXPECT_EQ(timed_out, 1);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    CloseHandle(event);
}

TEST(Kernel_Events, FiniteWaitLastsAboutItsTime) {
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WaitForSingleObject(event, 100), WAIT_TIMEOUT);
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(100));
    EXPECT_LT(waited, std::chrono::seconds(5));
    CloseHandle(event);
}

// The command channel's handshake: post, wait for done, many times over.
// Every wait has a generous limit, so a lost wake-up fails instead of hanging.
TEST(Kernel_Events, PingPongLosesNoWakeUp) {
    const int rounds = 100000;
    HANDLE posted = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    int shared_value = 0;  // ordered by the events alone
    std::atomic<bool> answerer_failed{false};
    std::thread answerer([&] {
        for (int i = 0; i < rounds; ++i) {
            if (WaitForSingleObject(posted, 10000) != WAIT_OBJECT_0) {
                answerer_failed = true;
                return;
            }
            ++shared_value;
            SetEvent(done);
        }
    });
    int lost = 0;
    for (int i = 0; i < rounds && lost == 0; ++i) {
        SetEvent(posted);
        if (WaitForSingleObject(done, 10000) != WAIT_OBJECT_0) ++lost;
        else if (shared_value != i + 1) ++lost;
    }
    if (lost) SetEvent(posted);  // let the answerer finish its round
    answerer.join();
    EXPECT_EQ(lost, 0);
    EXPECT_FALSE(answerer_failed);
    EXPECT_EQ(shared_value, rounds);
    CloseHandle(posted);
    CloseHandle(done);
}

TEST(Kernel_Handles, BadClosedAndNullHandlesFail) {
    HANDLE event = CreateEventA(nullptr, FALSE, TRUE, nullptr);
    ASSERT_TRUE(CloseHandle(event));

    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(CloseHandle(event));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));

    for (HANDLE bad : {HANDLE(nullptr), reinterpret_cast<HANDLE>(uintptr_t(0xDEADBEEF))}) {
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(WaitForSingleObject(bad, INFINITE), WAIT_FAILED);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
        EXPECT_FALSE(SetEvent(bad));
        EXPECT_FALSE(ResetEvent(bad));
        EXPECT_FALSE(CloseHandle(bad));
    }
}

TEST(Kernel_Handles, NamedEventsAreRefused) {
    long before = winx::open_handle_count();
    EXPECT_EQ(CreateEventA(nullptr, FALSE, FALSE, "shared"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(winx::open_handle_count(), before);
}

TEST(Kernel_Handles, LastErrorBelongsToEachThread) {
    SetLastError(ERROR_MORE_DATA);
    DWORD seen_elsewhere = 1;
    std::thread other([&] {
        seen_elsewhere = GetLastError();
        SetLastError(ERROR_FILE_NOT_FOUND);
    });
    other.join();
    EXPECT_EQ(seen_elsewhere, DWORD(ERROR_SUCCESS));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MORE_DATA));
}

}  // namespace
