// Redrawn at most five times a second, so that fast frames do not spend
// their time writing to the terminal.
#include "viewer/progress_line.h"

#include <unistd.h>

#include <cstdio>

namespace {

constexpr double SHOW_AFTER_SECONDS = 2.0;
constexpr double REDRAW_SECONDS = 0.2;

double seconds_between(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

}  // namespace

Progress_Line::Progress_Line(std::string what, int total)
    : what_(std::move(what)), total_(total), terminal_(isatty(STDERR_FILENO) == 1),
      start_(std::chrono::steady_clock::now()), last_drawn_(start_) {}

Progress_Line::~Progress_Line() {
    if (shown_) std::fputs("\r\033[K", stderr);
}

void Progress_Line::update(int done) {
    if (!terminal_) return;
    const auto now = std::chrono::steady_clock::now();
    const double elapsed = seconds_between(start_, now);
    if (elapsed < SHOW_AFTER_SECONDS || (shown_ && seconds_between(last_drawn_, now) < REDRAW_SECONDS)) return;
    last_drawn_ = now;
    shown_ = true;
    std::fprintf(stderr, "\r\033[K%s: frame %d of %d, %.1f s, %.1f frames per second", what_.c_str(), done, total_,
                 elapsed, done / elapsed);
    std::fflush(stderr);
}
