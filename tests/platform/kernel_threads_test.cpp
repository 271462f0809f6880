// Threads and critical sections: a thread handle can be waited on and closed
// at once without leaks; a critical section is recursive and excludes others.
#include <atomic>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "platform/windows.h"
#include "platform/winx.h"

namespace {

DWORD WINAPI wait_then_mark(LPVOID argument) {
    auto* event_and_flag = static_cast<std::pair<HANDLE, std::atomic<bool>>*>(argument);
    WaitForSingleObject(event_and_flag->first, INFINITE);
    event_and_flag->second = true;
    return 0;
}

TEST(Kernel_Threads, WaitOnTheHandleWaitsForTheEnd) {
    std::pair<HANDLE, std::atomic<bool>> event_and_flag;
    event_and_flag.first = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    event_and_flag.second = false;
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, wait_then_mark, &event_and_flag, 0, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_NE(id, 0u);

    EXPECT_EQ(WaitForSingleObject(thread, 50), WAIT_TIMEOUT);  // still blocked
    EXPECT_FALSE(event_and_flag.second);
    SetEvent(event_and_flag.first);
    EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    EXPECT_TRUE(event_and_flag.second);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);  // an ended thread stays signalled

    // A thread handle is no event.
    EXPECT_FALSE(SetEvent(thread));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_TRUE(CloseHandle(thread));
    CloseHandle(event_and_flag.first);
}

struct Countdown {
    std::atomic<int> left;
    HANDLE all_done;
};

DWORD WINAPI count_down(LPVOID argument) {
    auto* countdown = static_cast<Countdown*>(argument);
    if (--countdown->left == 0) SetEvent(countdown->all_done);
    return 0;
}

TEST(Kernel_Threads, CreateAndCloseCyclesLeaveNoHandles) {
    const int cycles = 1000;
    Countdown countdown{{cycles}, CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    long before = winx::open_handle_count();
    for (int i = 0; i < cycles; ++i) {
        HANDLE thread = CreateThread(nullptr, 0, count_down, &countdown, 0, nullptr);
        ASSERT_NE(thread, nullptr);
        ASSERT_TRUE(CloseHandle(thread));  // not kept: the thread runs on
        HANDLE event = CreateEventA(nullptr, FALSE, TRUE, nullptr);
        ASSERT_NE(event, nullptr);
        ASSERT_TRUE(CloseHandle(event));
    }
    EXPECT_EQ(winx::open_handle_count(), before);
    EXPECT_EQ(WaitForSingleObject(countdown.all_done, 30000), WAIT_OBJECT_0);
    EXPECT_EQ(countdown.left, 0);
    CloseHandle(countdown.all_done);
}

TEST(Kernel_Threads, BadArgumentsAreRefused) {
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST(Kernel_Critical_Sections, RecursiveForTheOwnerExclusiveForOthers) {
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    EnterCriticalSection(&section);
    EnterCriticalSection(&section);  // the owner may enter again

    std::atomic<bool> other_inside{false};
    std::thread other([&] {
        EnterCriticalSection(&section);
        other_inside = true;
        LeaveCriticalSection(&section);
    });
    LeaveCriticalSection(&section);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(other_inside);  // still held once
    LeaveCriticalSection(&section);
    other.join();
    EXPECT_TRUE(other_inside);
    DeleteCriticalSection(&section);
}

}  // namespace
