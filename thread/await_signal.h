// Waiting on the command channel's events. Often the other side answers
// within microseconds: the render thread draws a one-primitive batch in 15
// to 30 us on a software rasteriser, and the host's thread hands the next one
// over within a few. Putting a thread to sleep and waking it costs 10 to
// 20 us on each side, as much as the wait itself, so the wait polls the event
// for a short while before it sleeps. Where this thread's recent waits were
// long (a large batch being drawn, a host busy with its own work), polling
// would only take the processor from the threads doing that work, so it
// sleeps at once. A poll that finds the event set consumes it exactly as the
// sleeping wait would; what is signalled does not change.
#pragma once

#include <algorithm>
#include <chrono>

#include "platform/windows.h"

// Long enough to cover the drawing of a small batch, short enough that a
// wait that outlasts it wastes little.
constexpr auto SIGNAL_SPIN_TIME = std::chrono::microseconds(50);
// Pauses between two polls (about half a microsecond), so that two polling
// threads do not keep the platform's handle table locked between them.
constexpr int PAUSES_BETWEEN_POLLS = 8;

// How long one side's recent waits lasted: a moving average over about the
// last eight, each counted up to a millisecond, so that one long wait does
// not stop the polling for long. Each side of a channel keeps its own.
struct Signal_Wait_History {
    std::chrono::steady_clock::duration typical_wait{};
};

inline void await_signal(HANDLE event, Signal_Wait_History& history) {
    using clock = std::chrono::steady_clock;
    const auto start = clock::now();
    auto remember = [&] {
        const clock::duration waited =
            std::min<clock::duration>(clock::now() - start, std::chrono::milliseconds(1));
        history.typical_wait += (waited - history.typical_wait) / 8;
    };
    if (history.typical_wait < SIGNAL_SPIN_TIME) {
        const auto deadline = start + SIGNAL_SPIN_TIME;
        do {
            if (WaitForSingleObject(event, 0) == WAIT_OBJECT_0) return remember();
            for (int pause = 0; pause < PAUSES_BETWEEN_POLLS; ++pause) YieldProcessor();
        } while (clock::now() < deadline);
    }
    WaitForSingleObject(event, INFINITE);
    remember();
}
