// The channel's wait, which polls an event before it sleeps: whether the
// signal comes before the wait, during the polling or long after it, the
// wait returns once per signal and leaves an auto-reset event unsignalled,
// so no command is answered twice or lost; a read's longer wait as well. And
// it never polls where the process may run on one processor only.
#include <atomic>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include <sched.h>

#include "platform/windows.h"
#include "tests/support/test_device.h"
#include "thread/await_signal.h"

namespace {

struct Auto_Reset_Event {
    HANDLE handle = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ~Auto_Reset_Event() { CloseHandle(handle); }
};

TEST(Await_Signal, ConsumesASignalGivenBeforeOrLongAfterTheWait) {
    Auto_Reset_Event event;
    Signal_Wait_History history;
    SetEvent(event.handle);
    await_signal(event.handle, history);
    EXPECT_EQ(WaitForSingleObject(event.handle, 0), WAIT_TIMEOUT);

    // Well past the polling: the wait has gone to sleep by then.
    std::thread late_setter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        SetEvent(event.handle);
    });
    await_signal(event.handle, history);
    late_setter.join();
    EXPECT_EQ(WaitForSingleObject(event.handle, 0), WAIT_TIMEOUT);
}

// A read's wait, which polls longer whatever the recent waits did, returns
// once per signal however late it comes, polling or not, and leaves the
// history of the channel's other waits as it was.
TEST(Await_Signal, AReadsWaitConsumesOneSignalAndLeavesTheHistoryAlone) {
    using std::chrono::microseconds;
    for (const bool may_poll : {true, false}) {
        Auto_Reset_Event event;
        Signal_Wait_History history;
        history.may_poll = may_poll;
        history.quick_share = 0.5f;
        for (const microseconds delay : {microseconds(0), microseconds(300), microseconds(5000)}) {
            std::thread setter([&] {
                std::this_thread::sleep_for(delay);
                SetEvent(event.handle);
            });
            await_read(event.handle, history);
            setter.join();
            EXPECT_EQ(WaitForSingleObject(event.handle, 0), WAIT_TIMEOUT) << delay.count() << " us";
        }
        EXPECT_EQ(history.quick_share, 0.5f);
    }
}

// Long waits stop the polling, and quick ones bring it back.
TEST(Await_Signal, PollsOnlyWhileMostRecentWaitsWereQuick) {
    Auto_Reset_Event event;
    Signal_Wait_History history;
    for (int i = 0; i < 8; ++i) {
        std::thread late_setter([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            SetEvent(event.handle);
        });
        await_signal(event.handle, history);
        late_setter.join();
    }
    EXPECT_LT(history.quick_share, QUICK_SHARE_TO_POLL);
    for (int i = 0; i < 16; ++i) {
        SetEvent(event.handle);
        await_signal(event.handle, history);
    }
    EXPECT_GE(history.quick_share, QUICK_SHARE_TO_POLL);
}

// Two threads hand a token back and forth as the host's thread and the
// render thread do; each side counts what it received. A signal consumed
// twice would hang the exchange, one left behind would end it early.
TEST(Await_Signal, OneReturnPerSignalInAQuickExchange) {
    constexpr int exchanges = 5000;
    Auto_Reset_Event posted;
    Auto_Reset_Event done;
    std::atomic<int> answered{0};
    Signal_Wait_History poster_waits;
    Signal_Wait_History answerer_waits;
    std::thread answerer([&] {
        for (int i = 0; i < exchanges; ++i) {
            await_signal(posted.handle, answerer_waits);
            answered.fetch_add(1);
            SetEvent(done.handle);
        }
    });
    for (int i = 0; i < exchanges; ++i) {
        SetEvent(posted.handle);
        await_signal(done.handle, poster_waits);
        ASSERT_EQ(answered.load(), i + 1);
    }
    answerer.join();
    EXPECT_EQ(WaitForSingleObject(posted.handle, 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(done.handle, 0), WAIT_TIMEOUT);
}

// Where the process may run on one processor only, the side a wait is for
// can only run once the waiting side sleeps: a renderer object made on a
// thread bound to one processor (its render thread inherits the binding)
// never polls; one made where several processors are open may.
TEST(Await_Signal, ObjectsBoundToOneProcessorNeverPoll) {
    cpu_set_t open_processors;
    ASSERT_EQ(sched_getaffinity(0, sizeof open_processors, &open_processors), 0);
    int first = 0;
    while (!CPU_ISSET(first, &open_processors)) ++first;
    bool polls_on_one = true;
    std::thread bound([&] {
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(first, &one);
        ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
        HT_Device_Data* device = test_device::create();
        ASSERT_NE(device, nullptr);
        const OGL_Device_Data& object = *test_device::driver(device);
        polls_on_one = object.host_waits.may_poll || object.render_waits.may_poll;
        test_device::destroy(device);
    });
    bound.join();
    EXPECT_FALSE(polls_on_one);

    if (CPU_COUNT(&open_processors) < 2) return;
    HT_Device_Data* device = test_device::create();
    ASSERT_NE(device, nullptr);
    EXPECT_TRUE(test_device::driver(device)->host_waits.may_poll);
    EXPECT_TRUE(test_device::driver(device)->render_waits.may_poll);
    test_device::destroy(device);
}

}  // namespace
