// What a test process holds now, for tests that check that nothing was left
// behind (kernel handles, threads, file descriptors, X windows, DirectDraw
// objects, resident memory), and a watchdog that ends a test which stopped
// making progress instead of letting it block the suite.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace test_support {

struct Resources {
    long handles = 0;
    int threads = 0;
    int descriptors = 0;
    long windows = 0;
    long directdraw_objects = 0;
    long resident = 0;  // bytes
};

// The figures now; the thread count once it has settled to at most
// `expected_threads` (threads end shortly after they answer).
Resources resources_now(int expected_threads);

// Ends the process with a message when `progress` has not changed for
// `quiet_limit`, until it is destroyed.
class Watchdog {
public:
    Watchdog(const std::atomic<long>& progress, std::chrono::seconds quiet_limit, std::string what);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    void watch(const std::atomic<long>& progress);

    std::chrono::seconds quiet_limit_;
    std::string what_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::thread thread_;
};

}  // namespace test_support
