// Creating and destroying renderer objects: each has its own events and render
// thread, all share the batch lock, and nothing is left behind.
#include <pthread.h>

#include <cerrno>
#include <thread>

#include <gtest/gtest.h>

#include "platform/winx.h"
#include "tests/support/test_device.h"

namespace {

using test_device::driver;

// Whether another thread finds the lock taken.
bool held_elsewhere(CRITICAL_SECTION* lock) {
    int result = 0;
    std::thread probe([&] {
        result = pthread_mutex_trylock(&lock->mutex);
        if (result == 0) pthread_mutex_unlock(&lock->mutex);
    });
    probe.join();
    return result == EBUSY;
}

}  // namespace

TEST(Lifecycle, TwoObjectsShareTheBatchLockAndHaveTheirOwnEventsAndThreads) {
    // One cycle first: the process may start helper threads of its own with
    // the first thread it creates.
    test_device::destroy(test_device::create());
    const int threads = test_device::quiet_thread_count();
    HT_Device_Data* first = test_device::create();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(test_device::thread_count(), threads + 1);
    CRITICAL_SECTION* lock = driver(first)->batch_lock;
    ASSERT_NE(lock, nullptr);

    // A second construction must not initialise the lock again while the first
    // object holds it.
    EnterCriticalSection(lock);
    HT_Device_Data* second = test_device::create();
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(held_elsewhere(lock));
    LeaveCriticalSection(lock);

    EXPECT_EQ(driver(second)->batch_lock, lock);
    EXPECT_EQ(test_device::thread_count(), threads + 2);
    const Render_Command& a = driver(first)->command;
    const Render_Command& b = driver(second)->command;
    EXPECT_NE(a.command_posted, b.command_posted);
    EXPECT_NE(a.command_done, b.command_done);
    EXPECT_NE(a.command_posted, a.command_done);

    test_device::destroy(first);
    EXPECT_EQ(test_device::settled_thread_count(threads + 1), threads + 1);
    // The second object still answers commands.
    second->show_frame(0);
    test_device::destroy(second);
    EXPECT_EQ(test_device::settled_thread_count(threads), threads);
}

TEST(Lifecycle, ObjectAfterTheLastOneEndedGetsAWorkingBatchLock) {
    test_device::destroy(test_device::create());
    HT_Device_Data* later = test_device::create();
    ASSERT_NE(later, nullptr);
    CRITICAL_SECTION* lock = driver(later)->batch_lock;
    ASSERT_NE(lock, nullptr);
    EnterCriticalSection(lock);
    EXPECT_TRUE(held_elsewhere(lock));
    LeaveCriticalSection(lock);
    EXPECT_FALSE(held_elsewhere(lock));
    test_device::destroy(later);
}

TEST(Lifecycle, ChannelIsIdleWhenHD_DeviceReturns) {
    HT_Device_Data* device = test_device::create();
    ASSERT_NE(device, nullptr);
    OGL_Device_Data* object = driver(device);
    EXPECT_EQ(object->command.in_render_thread, 0);
    // The start signal was consumed: the done event is not set before a
    // command is posted, so a poster's wait answers its own command.
    EXPECT_EQ(WaitForSingleObject(object->command.command_done, 0), WAIT_TIMEOUT);
    EXPECT_TRUE(test_device::post_raw_command(object, 6));
    EXPECT_EQ(WaitForSingleObject(object->command.command_done, 0), WAIT_TIMEOUT);
    test_device::destroy(device);
}

TEST(Lifecycle, AThousandCyclesLeaveNoHandlesOrThreads) {
    // One cycle first, so that the module's one-time set-up is not counted.
    test_device::destroy(test_device::create());
    const long handles = winx::open_handle_count();
    const int threads = test_device::quiet_thread_count();
    for (int cycle = 0; cycle < 1000; ++cycle) {
        HT_Device_Data* device = test_device::create();
        ASSERT_NE(device, nullptr) << "cycle " << cycle;
        test_device::destroy(device);
    }
    EXPECT_EQ(winx::open_handle_count(), handles);
    EXPECT_EQ(test_device::settled_thread_count(threads), threads);
}
