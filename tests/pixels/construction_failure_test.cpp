// A construction that throws part way (an allocation that fails, wherever it
// falls) passes the exception on and leaves nothing behind: no render thread
// waiting on a freed object, no events, no DirectDraw objects. Objects built
// afterwards work.
#include <new>

#include <gtest/gtest.h>

#include "platform/winx.h"
#include "tests/support/failing_allocation.h"
#include "tests/support/test_device.h"

TEST(Construction_Failure, EveryFailedAllocationLeavesNothingBehind) {
    // One cycle first, so that the module's one-time set-up is not counted.
    test_device::destroy(test_device::create());
    const long handles = winx::open_handle_count();
    const long directdraw_objects = winx::directdraw_object_count();
    const int threads = test_device::quiet_thread_count();

    int thrown = 0;
    for (long n = 1; n < 10000; ++n) {
        SCOPED_TRACE(n);
        HT_Device_Data* device = nullptr;
        failing_allocation::fail_nth_allocation_on_this_thread(n);
        try {
            device = test_device::create();
        } catch (const std::bad_alloc&) {
            ++thrown;
        }
        const bool failed = failing_allocation::failed();
        failing_allocation::fail_nth_allocation_on_this_thread(0);
        if (device != nullptr) test_device::destroy(device);
        ASSERT_EQ(test_device::settled_thread_count(threads), threads);
        ASSERT_EQ(winx::open_handle_count(), handles);
        ASSERT_EQ(winx::directdraw_object_count(), directdraw_objects);
        if (!failed) break;  // the construction ran past its last allocation
    }
    EXPECT_GT(thrown, 0);

    // The module is still sound: two objects at once, then none.
    HT_Device_Data* first = test_device::create();
    HT_Device_Data* second = test_device::create();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    first->show_frame(0);
    test_device::destroy(first);
    second->show_frame(0);
    test_device::destroy(second);
    EXPECT_EQ(test_device::settled_thread_count(threads), threads);
    EXPECT_EQ(winx::open_handle_count(), handles);
}
