// Waiting on the command channel's events. The other side usually answers
// within microseconds: the render thread draws a small batch in 15 to 30 us
// on a software rasteriser, and the host's thread hands the next one over
// within a few. Putting a thread to sleep and waking it costs 10 to 20 us on
// each side, more than the wait itself, so the wait polls the event for a
// short while before it sleeps. It does not change what is signalled: a poll
// that finds the event set consumes it exactly as the sleeping wait would.
#pragma once

#include <chrono>

#include "platform/windows.h"

// Long enough to cover the drawing of a small batch, short enough that a
// thread waiting for a long drawing or an idle host wastes little.
constexpr auto SIGNAL_SPIN_TIME = std::chrono::microseconds(50);
// Pauses between two polls, so that two polling threads do not keep the
// platform's handle table locked between them (about half a microsecond).
constexpr int PAUSES_BETWEEN_POLLS = 8;

inline void await_signal(HANDLE event) {
    const auto deadline = std::chrono::steady_clock::now() + SIGNAL_SPIN_TIME;
    do {
        if (WaitForSingleObject(event, 0) == WAIT_OBJECT_0) return;
        for (int pause = 0; pause < PAUSES_BETWEEN_POLLS; ++pause) YieldProcessor();
    } while (std::chrono::steady_clock::now() < deadline);
    WaitForSingleObject(event, INFINITE);
}
