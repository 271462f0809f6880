// The kernel objects behind HANDLEs: events and threads, both waitable. A
// handle is a number in the process's handle table that names a counted
// object; closing the handle drops the table's reference, so a running
// thread keeps its own object alive until it ends. Handle numbers are never
// reused, so a closed handle stays invalid. Internal to libwinx.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>

#include "platform/windows.h"

namespace winx::kernel {

// A waitable object: signalled or not. Manual-reset objects stay signalled
// until reset; auto-reset objects are consumed by the one wait they satisfy.
class Waitable {
public:
    enum class Kind { event, thread };

    Waitable(Kind kind, bool manual_reset, bool initially_signalled)
        : kind_(kind), manual_reset_(manual_reset), signalled_(initially_signalled) {}

    Kind kind() const { return kind_; }
    void set();
    void reset();
    // WAIT_OBJECT_0 when signalled within the time (INFINITE: no limit),
    // else WAIT_TIMEOUT.
    DWORD wait(DWORD milliseconds);

private:
    const Kind kind_;
    const bool manual_reset_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool signalled_;
};

// Enters the object in the handle table and returns its new handle.
HANDLE open_handle(std::shared_ptr<Waitable> object);
// The object a handle names, or null when the handle is not open.
std::shared_ptr<Waitable> find_handle(HANDLE handle);
// Removes a handle from the table; false when it was not open.
bool close_handle(HANDLE handle);
long handle_count();

}  // namespace winx::kernel
