// Waiting on the command channel's events. Often the other side answers
// within microseconds: the render thread draws a one-primitive batch in 15
// to 30 us on a software rasteriser, and the host's thread hands the next one
// over within a few. Putting a thread to sleep and waking it costs 10 to
// 20 us on each side, as much as the wait itself, so the wait polls the event
// for a short while before it sleeps. Where this side's recent waits mostly
// outlasted that (a large batch being drawn, a host busy with its own work),
// polling would only take the processor from the threads doing that work, so
// it sleeps at once. A read of the window is the exception: it takes well
// under a millisecond, the host's thread can do nothing until it has the
// pixels, and waking from a sleep added a sixth to a whole-window read; its
// wait polls up to a millisecond whatever the recent waits did. Where the
// process may run on one processor only, no wait polls: the side it waits
// for could only run once it sleeps. A poll that finds the event set
// consumes it exactly as the sleeping wait would; what is signalled does
// not change.
#pragma once

#include <chrono>

#include <sched.h>

#include "platform/windows.h"

// Long enough to cover the drawing of a small batch, short enough that a
// wait that outlasts it wastes little.
constexpr auto SIGNAL_SPIN_TIME = std::chrono::microseconds(50);
// Long enough to cover a read of a whole window.
constexpr auto READ_SPIN_TIME = std::chrono::microseconds(1000);
// Pauses between two polls (about half a microsecond), so that two polling
// threads do not keep the platform's handle table locked between them.
constexpr int PAUSES_BETWEEN_POLLS = 8;

// How often one side's recent waits ended within the polling time: a moving
// average over about the last eight, as a fraction. Each side of a channel
// keeps its own.
struct Signal_Wait_History {
    float quick_share = 1.0f;
    bool may_poll = true;
};

// False where the process's threads may all be bound to one processor
// (taskset, a container's CPU set); asked once per renderer object.
inline bool may_run_on_several_processors() {
    cpu_set_t processors;
    CPU_ZERO(&processors);
    if (sched_getaffinity(0, sizeof processors, &processors) != 0) return false;
    return CPU_COUNT(&processors) > 1;
}

// Polling pays where most waits end within it; where fewer than this share
// did, the polls that fail waste more than the ones that succeed save.
constexpr float QUICK_SHARE_TO_POLL = 0.75f;

// Polls the event until `deadline`; true when it was set (and is consumed).
inline bool poll_signal(HANDLE event, std::chrono::steady_clock::time_point deadline) {
    do {
        if (WaitForSingleObject(event, 0) == WAIT_OBJECT_0) return true;
        for (int pause = 0; pause < PAUSES_BETWEEN_POLLS; ++pause) YieldProcessor();
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

inline void await_signal(HANDLE event, Signal_Wait_History& history) {
    using clock = std::chrono::steady_clock;
    const auto start = clock::now();
    auto remember = [&] {
        const float quick = clock::now() - start <= SIGNAL_SPIN_TIME ? 1.0f : 0.0f;
        history.quick_share += (quick - history.quick_share) / 8;
    };
    if (history.may_poll && history.quick_share >= QUICK_SHARE_TO_POLL && poll_signal(event, start + SIGNAL_SPIN_TIME))
        return remember();
    WaitForSingleObject(event, INFINITE);
    remember();
}

// The host's wait for a read; it leaves the history of the other waits alone.
inline void await_read(HANDLE event, const Signal_Wait_History& history) {
    if (history.may_poll && poll_signal(event, std::chrono::steady_clock::now() + READ_SPIN_TIME)) return;
    WaitForSingleObject(event, INFINITE);
}
