// The parent reads the child's stream as it comes, until its end, so that a
// large model never leaves the child blocked on a full pipe; then it reaps
// the child, and the way the child ended decides: a signal or a non-zero
// exit status is a failure whatever the stream held.
#include "viewer/import_child.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include "viewer/model_stream.h"

namespace {

// Wall-clock time per second of CPU time the child may take before the
// parent gives up on it: room for a machine busy with other work.
constexpr int WALL_SECONDS_PER_CPU_SECOND = 5;
// The child's writes are gathered into pieces of this size: a pipe holds 64 KiB.
constexpr size_t CHILD_WRITE_BUFFER = size_t(64) << 10;
// Signals that end the child at once: handlers that this program, a
// sanitizer or a fuzzer installed for their own process must not run in it
// (they would report, or save inputs, as if the parent had crashed).
const int ENDING_SIGNALS[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP, SIGSYS, SIGXCPU, SIGPIPE};

bool write_all(int descriptor, const void* bytes, size_t size) {
    const char* next = static_cast<const char*>(bytes);
    while (size > 0) {
        const ssize_t written = write(descriptor, next, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        next += written;
        size -= size_t(written);
    }
    return true;
}

class Pipe_Writer {
public:
    explicit Pipe_Writer(int descriptor) : descriptor_(descriptor) { buffer_.reserve(CHILD_WRITE_BUFFER); }

    bool write(const void* bytes, size_t size) {
        if (buffer_.size() + size > CHILD_WRITE_BUFFER && !flush()) return false;
        if (size >= CHILD_WRITE_BUFFER) return write_all(descriptor_, bytes, size);
        const char* data = static_cast<const char*>(bytes);
        buffer_.insert(buffer_.end(), data, data + size);
        return true;
    }

    bool flush() {
        const bool written = write_all(descriptor_, buffer_.data(), buffer_.size());
        buffer_.clear();
        return written;
    }

private:
    int descriptor_;
    std::vector<char> buffer_;
};

void limit_cpu(int seconds) {
    rlimit limit = {};
    if (getrlimit(RLIMIT_CPU, &limit) != 0) return;
    // At the soft limit the child gets SIGXCPU, which ends it; the hard limit
    // a second later kills it should the import have caught that signal.
    limit.rlim_cur = std::min(limit.rlim_cur, rlim_t(seconds));
    limit.rlim_max = std::min(limit.rlim_max, rlim_t(seconds) + 1);
    limit.rlim_cur = std::min(limit.rlim_cur, limit.rlim_max);
    setrlimit(RLIMIT_CPU, &limit);
}

// Never returns: `_exit` ends the child without the parent's exit handlers,
// its stdio buffers or a leak check, none of which are the child's.
[[noreturn]] void run_child(const Model_Import& import, int cpu_seconds, int descriptor) {
    struct sigaction plain = {};
    plain.sa_handler = SIG_DFL;
    sigset_t ending;
    sigemptyset(&ending);
    for (int signal_number : ENDING_SIGNALS) {
        sigaction(signal_number, &plain, nullptr);
        sigaddset(&ending, signal_number);
    }
    sigprocmask(SIG_UNBLOCK, &ending, nullptr);
    // What the library prints is no concern of the user's: the reason says it.
    const int quiet = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (quiet >= 0) {
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
    }
    limit_cpu(cpu_seconds);
    Import_Outcome outcome;
    outcome.imported = import(&outcome.model, &outcome.reason);
    Pipe_Writer pipe(descriptor);
    if (write_import_outcome(outcome, [&](const void* bytes, size_t size) { return pipe.write(bytes, size); }))
        pipe.flush();
    _exit(0);
}

// The parent's end of the pipe, read until a deadline.
class Child_Stream {
public:
    Child_Stream(int descriptor, std::chrono::steady_clock::time_point deadline)
        : descriptor_(descriptor), deadline_(deadline) {}

    // Exactly `size` bytes; false at the end of the stream or the deadline.
    bool read(void* into, size_t size) {
        char* next = static_cast<char*>(into);
        while (size > 0) {
            const ssize_t got = read_some(next, size);
            if (got <= 0) return false;
            next += got;
            size -= size_t(got);
        }
        return true;
    }

    // Reads what is left, so that the child can finish writing and exit.
    void drain() {
        char scratch[4096];
        while (read_some(scratch, sizeof scratch) > 0) {
        }
    }

    bool timed_out() const { return timed_out_; }

private:
    ssize_t read_some(char* into, size_t size) {
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline_ - std::chrono::steady_clock::now());
            pollfd ready = {descriptor_, POLLIN, 0};
            const int polled = left.count() > 0 ? poll(&ready, 1, int(left.count())) : 0;
            if (polled < 0 && errno == EINTR) continue;
            if (polled == 0) timed_out_ = true;
            if (polled <= 0) return -1;
            const ssize_t got = ::read(descriptor_, into, size);
            if (got < 0 && errno == EINTR) continue;
            return got;
        }
    }

    int descriptor_;
    std::chrono::steady_clock::time_point deadline_;
    bool timed_out_ = false;
};

double cpu_seconds_used(const rusage& usage) {
    return double(usage.ru_utime.tv_sec) + double(usage.ru_stime.tv_sec) +
           (double(usage.ru_utime.tv_usec) + double(usage.ru_stime.tv_usec)) / 1e6;
}

// How the child ended when that makes the import fail, with the reason;
// Child_Ending::imported when it exited as it should, having sent its stream.
Child_Ending abnormal_end(int status, const rusage& usage, int cpu_seconds, std::string* reason) {
    if (WIFSIGNALED(status)) {
        const int signal_number = WTERMSIG(status);
        if (signal_number == SIGXCPU || (signal_number == SIGKILL && cpu_seconds_used(usage) >= cpu_seconds)) {
            *reason = "the importer ran out of time: it used more than " + std::to_string(cpu_seconds) +
                      " s of CPU time on this file";
            return Child_Ending::out_of_time;
        }
        *reason = "the importer crashed on this file (signal " + std::to_string(signal_number) + ": " +
                  strsignal(signal_number) + ")";
        return Child_Ending::crashed;
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) != 0) {
        *reason = "the importer stopped with exit status " + std::to_string(WEXITSTATUS(status));
        return Child_Ending::stopped;
    }
    return Child_Ending::imported;
}

}  // namespace

bool import_in_child(const Model_Import& import, int cpu_seconds, Model* model, std::string* reason,
                     Child_Ending* ending) {
    Child_Ending ignored;
    Child_Ending& end = ending != nullptr ? *ending : ignored;
    cpu_seconds = std::max(cpu_seconds, 1);
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        *reason = std::string("the importer could not be started: ") + std::strerror(errno);
        end = Child_Ending::not_started;
        return false;
    }
    const pid_t child = fork();
    if (child < 0) {
        *reason = std::string("the importer could not be started: ") + std::strerror(errno);
        end = Child_Ending::not_started;
        close(ends[0]);
        close(ends[1]);
        return false;
    }
    if (child == 0) {
        close(ends[0]);
        run_child(import, cpu_seconds, ends[1]);
    }
    close(ends[1]);

    Child_Stream stream(ends[0], std::chrono::steady_clock::now() +
                                     std::chrono::seconds(cpu_seconds * WALL_SECONDS_PER_CPU_SECOND));
    Import_Outcome outcome;
    std::string damage;
    const bool whole = read_import_outcome(
        [&](void* into, size_t size) { return stream.read(into, size); }, &outcome, &damage);
    if (!stream.timed_out()) stream.drain();
    close(ends[0]);
    if (stream.timed_out()) kill(child, SIGKILL);
    int status = 0;
    rusage usage = {};
    pid_t reaped;
    do reaped = wait4(child, &status, 0, &usage);
    while (reaped < 0 && errno == EINTR);

    end = Child_Ending::imported;
    if (stream.timed_out()) {
        *reason = "the importer did not finish within " + std::to_string(cpu_seconds * WALL_SECONDS_PER_CPU_SECOND) +
                  " s";
        end = Child_Ending::out_of_time;
    } else if (reaped == child) {
        end = abnormal_end(status, usage, cpu_seconds, reason);
    }
    if (end == Child_Ending::imported && !whole) {
        *reason = "the importer sent back a damaged answer (" + damage + ")";
        end = Child_Ending::damaged_answer;
    }
    if (end != Child_Ending::imported) return false;
    if (!outcome.imported) {
        *reason = outcome.reason;
        end = Child_Ending::refused;
        return false;
    }
    *model = std::move(outcome.model);
    return true;
}
