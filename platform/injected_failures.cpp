// Injected failures: a countdown per kind of call. While a kind is armed,
// every call of that kind counts down; the call that reaches zero fails and
// disarms it. Calls of a kind that is not armed cost one atomic load.
#include "platform/injected_failures.h"

#include <atomic>

namespace winx {
namespace {

constexpr int KINDS = int(Failing_Call::escape) + 1;

struct Countdown {
    std::atomic<int> calls_left{0};  // 0: not armed
    std::atomic<bool> happened{false};
};

Countdown countdowns[KINDS];

}  // namespace

void inject_failure(Failing_Call call, int nth) {
    Countdown& countdown = countdowns[int(call)];
    countdown.happened = false;
    countdown.calls_left = nth > 0 ? nth : 0;
}

bool injected_failure_happened(Failing_Call call) { return countdowns[int(call)].happened; }

void clear_injected_failures() {
    for (Countdown& countdown : countdowns) {
        countdown.calls_left = 0;
        countdown.happened = false;
    }
}

bool fail_this_call(Failing_Call call) {
    Countdown& countdown = countdowns[int(call)];
    int left = countdown.calls_left.load();
    // Only one caller may take the count from 1 to 0, whatever the threads.
    while (left > 0) {
        if (countdown.calls_left.compare_exchange_weak(left, left - 1)) {
            if (left != 1) return false;
            countdown.happened = true;
            return true;
        }
    }
    return false;
}

}  // namespace winx
