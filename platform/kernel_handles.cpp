// The process's handle table, and the calls that work on any kernel handle:
// WaitForSingleObject and CloseHandle. A bad, closed or null handle fails
// with ERROR_INVALID_HANDLE; it is never dereferenced.
#include <cstdint>
#include <unordered_map>

#include "platform/kernel_objects.h"
#include "platform/winx.h"

namespace winx::kernel {
namespace {

struct Handle_Table {
    std::mutex mutex;
    std::unordered_map<uintptr_t, std::shared_ptr<Waitable>> objects;
    uintptr_t last_number = 0;
};

// Never destroyed: detached threads may still close or wait on handles while
// the process exits.
Handle_Table& table() {
    static Handle_Table* the_table = new Handle_Table;
    return *the_table;
}

}  // namespace

HANDLE open_handle(std::shared_ptr<Waitable> object) {
    Handle_Table& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    // Multiples of four, like Win32 handles; never 0 and never reused.
    t.last_number += 4;
    t.objects.emplace(t.last_number, std::move(object));
    return reinterpret_cast<HANDLE>(t.last_number);
}

std::shared_ptr<Waitable> find_handle(HANDLE handle) {
    Handle_Table& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto found = t.objects.find(reinterpret_cast<uintptr_t>(handle));
    return found == t.objects.end() ? nullptr : found->second;
}

bool close_handle(HANDLE handle) {
    std::shared_ptr<Waitable> released;  // destroyed after the table is unlocked
    Handle_Table& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto found = t.objects.find(reinterpret_cast<uintptr_t>(handle));
    if (found == t.objects.end()) return false;
    released = std::move(found->second);
    t.objects.erase(found);
    return true;
}

long handle_count() {
    Handle_Table& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    return long(t.objects.size());
}

}  // namespace winx::kernel

DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    std::shared_ptr<winx::kernel::Waitable> object = winx::kernel::find_handle(handle);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    return object->wait(milliseconds);
}

BOOL WINAPI CloseHandle(HANDLE handle) {
    if (!winx::kernel::close_handle(handle)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

long winx::open_handle_count() { return winx::kernel::handle_count(); }
