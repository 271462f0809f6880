// A private X server for the process: Xvfb on a display number it picks
// itself (-displayfd), started before the first X connection and stopped
// (killed and reaped) on request or at process exit. Nothing else here.
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/winx.h"
#include "platform/x11_display.h"

namespace winx {
namespace {

constexpr int start_timeout_ms = 20000;
constexpr int stop_timeout_ms = 5000;

std::mutex server_mutex;
pid_t server_pid = -1;

bool valid_depth(int depth) { return depth == 8 || depth == 16 || depth == 24; }

// Waits up to timeout_ms for the process to end; true when it was reaped.
bool reap_within(pid_t pid, int timeout_ms) {
    for (int waited = 0; waited <= timeout_ms; waited += 10) {
        const pid_t done = waitpid(pid, nullptr, WNOHANG);
        if (done == pid || (done < 0 && errno == ECHILD)) return true;
        usleep(10 * 1000);
    }
    return false;
}

void kill_and_reap(pid_t pid) {
    kill(pid, SIGTERM);
    if (!reap_within(pid, stop_timeout_ms)) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

// The display number that Xvfb writes on its -displayfd pipe, or -1 when it
// ends or stays silent for start_timeout_ms.
int read_display_number(int fd) {
    std::string text;
    for (int waited = 0; waited < start_timeout_ms;) {
        pollfd ready{fd, POLLIN, 0};
        const int step = 100;
        const int polled = poll(&ready, 1, step);
        if (polled < 0 && errno != EINTR) return -1;
        if (polled <= 0) {
            waited += step;
            continue;
        }
        char buffer[32];
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got <= 0) return -1;
        text.append(buffer, size_t(got));
        if (text.find('\n') != std::string::npos) return std::atoi(text.c_str());
    }
    return -1;
}

void stop_at_exit() { stop_private_display(); }

}  // namespace

bool start_private_display(int width, int height, int depth, std::string* error) {
    std::string ignored;
    std::string& reason = error != nullptr ? *error : ignored;
    std::lock_guard<std::mutex> lock(server_mutex);
    if (!valid_depth(depth) || width <= 0 || height <= 0) {
        reason = "the screen must be at least 1 x 1 with a depth of 8, 16 or 24 bits";
        return false;
    }
    if (server_pid > 0) {
        reason = "a private X server is already running";
        return false;
    }
    if (x11::open_connection() != nullptr) {
        reason = "the X connection is already open";
        return false;
    }
    int pipe_ends[2];
    if (pipe2(pipe_ends, O_CLOEXEC) != 0) {
        reason = std::string("pipe: ") + std::strerror(errno);
        return false;
    }
    const std::string fd_text = std::to_string(pipe_ends[1]);
    const std::string screen =
        std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(depth);
    const pid_t pid = fork();
    if (pid < 0) {
        reason = std::string("fork: ") + std::strerror(errno);
        close(pipe_ends[0]);
        close(pipe_ends[1]);
        return false;
    }
    if (pid == 0) {
        // The server goes with us if we die without stopping it.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        fcntl(pipe_ends[1], F_SETFD, 0);
        const int quiet = open("/dev/null", O_WRONLY);
        if (quiet >= 0) {
            dup2(quiet, STDOUT_FILENO);
            dup2(quiet, STDERR_FILENO);
        }
        execlp("Xvfb", "Xvfb", "-displayfd", fd_text.c_str(), "-screen", "0", screen.c_str(),
               "-nolisten", "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipe_ends[1]);
    const int number = read_display_number(pipe_ends[0]);
    close(pipe_ends[0]);
    if (number < 0) {
        kill_and_reap(pid);
        reason = "Xvfb did not report a display within " + std::to_string(start_timeout_ms / 1000) +
                 " seconds (is it installed?)";
        return false;
    }
    server_pid = pid;
    setenv("DISPLAY", (":" + std::to_string(number)).c_str(), 1);
    static const int registered = std::atexit(stop_at_exit);
    (void)registered;
    return true;
}

void stop_private_display() {
    std::lock_guard<std::mutex> lock(server_mutex);
    if (server_pid <= 0) return;
    x11::close_display();
    kill_and_reap(server_pid);
    server_pid = -1;
}

}  // namespace winx
