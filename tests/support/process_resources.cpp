// The resource counts and the watchdog of process_resources.h.
#include "tests/support/process_resources.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/winx.h"
#include "tests/support/test_device.h"

namespace test_support {
namespace {

int open_descriptor_count() {
    int count = 0;
    if (DIR* folder = opendir("/proc/self/fd")) {
        while (dirent* entry = readdir(folder))
            if (entry->d_name[0] != '.') ++count;
        closedir(folder);
    }
    return count - 1;  // the folder's own descriptor
}

long resident_bytes() {
    long pages = 0, resident = 0;
    if (FILE* file = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(file, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(file);
    }
    return resident * sysconf(_SC_PAGESIZE);
}

}  // namespace

Resources resources_now(int expected_threads) {
    Resources now;
    now.handles = winx::open_handle_count();
    now.threads = test_device::settled_thread_count(expected_threads);
    now.descriptors = open_descriptor_count();
    now.windows = winx::x_window_count();
    now.directdraw_objects = winx::directdraw_object_count();
    now.resident = resident_bytes();
    return now;
}

Watchdog::Watchdog(const std::atomic<long>& progress, std::chrono::seconds quiet_limit, std::string what)
    : quiet_limit_(quiet_limit), what_(std::move(what)), thread_([this, &progress] { watch(progress); }) {}

Watchdog::~Watchdog() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        done_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void Watchdog::watch(const std::atomic<long>& progress) {
    std::unique_lock<std::mutex> lock(mutex_);
    long seen = progress;
    while (!wake_.wait_for(lock, quiet_limit_, [&] { return done_; })) {
        if (progress == seen) {
            std::fprintf(stderr, "%s: no progress for %lld s after %ld steps: hung\n", what_.c_str(),
                         static_cast<long long>(quiet_limit_.count()), seen);
            std::fflush(stderr);
            std::_Exit(3);
        }
        seen = progress;
    }
}

}  // namespace test_support
