// Win32 events: CreateEventA, SetEvent, ResetEvent. Events are private to
// the process; a named event (shared between processes on Win32) is refused
// with ERROR_INVALID_PARAMETER rather than silently made private.
#include "platform/kernel_objects.h"
#include "platform/injected_failures.h"

namespace {

// The event a handle names, or null (with ERROR_INVALID_HANDLE) when the
// handle is not an open event.
std::shared_ptr<winx::kernel::Waitable> find_event(HANDLE handle) {
    auto object = winx::kernel::find_handle(handle);
    if (!object || object->kind() != winx::kernel::Waitable::Kind::event) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return object;
}

}  // namespace

HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES, BOOL manual_reset, BOOL initial_state,
                           LPCSTR name) {
    if (winx::fail_this_call(winx::Failing_Call::create_event)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (name != nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto event = std::make_shared<winx::kernel::Waitable>(
        winx::kernel::Waitable::Kind::event, manual_reset != FALSE, initial_state != FALSE);
    return winx::kernel::open_handle(std::move(event));
}

BOOL WINAPI SetEvent(HANDLE handle) {
    auto event = find_event(handle);
    if (!event) return FALSE;
    event->set();
    return TRUE;
}

BOOL WINAPI ResetEvent(HANDLE handle) {
    auto event = find_event(handle);
    if (!event) return FALSE;
    event->reset();
    return TRUE;
}
