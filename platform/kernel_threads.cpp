// CreateThread on pthreads. The thread runs detached; its object is shared
// by the creator's handle and the running thread, and is signalled when the
// start routine returns, so WaitForSingleObject on the handle waits for the
// end. Closing the handle at once is how a creator lets the thread go.
// Suspended starts are not offered: creation flags other than 0 are refused.
#include <atomic>
#include <climits>

#include "platform/kernel_objects.h"
#include "platform/injected_failures.h"

namespace {

struct Thread_Start {
    std::shared_ptr<winx::kernel::Waitable> object;
    LPTHREAD_START_ROUTINE routine;
    LPVOID parameter;
};

void* run_thread(void* argument) {
    std::unique_ptr<Thread_Start> start(static_cast<Thread_Start*>(argument));
    start->routine(start->parameter);
    start->object->set();
    return nullptr;
}

std::atomic<DWORD> last_thread_id{0};

}  // namespace

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T stack_size, LPTHREAD_START_ROUTINE routine,
                           LPVOID parameter, DWORD creation_flags, LPDWORD thread_id) {
    if (winx::fail_this_call(winx::Failing_Call::create_thread)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (routine == nullptr || creation_flags != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto object =
        std::make_shared<winx::kernel::Waitable>(winx::kernel::Waitable::Kind::thread, true, false);
    auto start = std::make_unique<Thread_Start>(Thread_Start{object, routine, parameter});
    // The handle is had before the thread starts: once it runs, nothing may
    // fail, or a caller that sees the failure would leave it running.
    HANDLE handle = winx::kernel::open_handle(object);

    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    if (stack_size != 0) {
        pthread_attr_setstacksize(&attributes, stack_size < SIZE_T(PTHREAD_STACK_MIN)
                                                   ? SIZE_T(PTHREAD_STACK_MIN)
                                                   : stack_size);
    }
    pthread_t thread;
    int failed = pthread_create(&thread, &attributes, run_thread, start.get());
    pthread_attr_destroy(&attributes);
    if (failed) {
        CloseHandle(handle);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    start.release();  // the thread owns it now
    if (thread_id != nullptr) *thread_id = ++last_thread_id;
    return handle;
}
