// The frame server with Mesa's threaded dispatch and the benchmark's side of
// it (see glthread_frames.h). The protocol on the socket: the server writes
// one line, "ready" or why it cannot serve; then each byte 'f' from the
// benchmark asks for a frame, and the server answers 'd' when the frame is
// presented.
#include "bench/glthread_frames.h"

#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <vector>

#include "bench/direct_reference.h"
#include "bench/engine_model.h"
#include "viewer/scene_sender.h"

extern char** environ;

namespace bench {
namespace {

constexpr int SERVER_SOCKET = 3;
constexpr const char* GLTHREAD_SETTING = "mesa_glthread";
// Reading the model and starting a context take seconds; a frame tens of
// milliseconds. Past this the server is taken for hung.
constexpr int ANSWER_TIMEOUT_MS = 120000;

void answer_line(const std::string& line) {
    const std::string text = line + "\n";
    size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = write(SERVER_SOCKET, text.data() + written, text.size() - written);
        if (n <= 0) return;
        written += size_t(n);
    }
}

// Mesa names the thread of its threaded dispatch "gl0", after the process's
// name and a colon where there is room.
bool glthread_running() {
    DIR* tasks = opendir("/proc/self/task");
    if (tasks == nullptr) return false;
    bool found = false;
    while (const dirent* task = readdir(tasks)) {
        if (task->d_name[0] == '.') continue;
        std::ifstream comm(std::string("/proc/self/task/") + task->d_name + "/comm");
        std::string name;
        std::getline(comm, name);
        const size_t colon = name.rfind(':');
        if ((colon == std::string::npos ? name : name.substr(colon + 1)) == "gl0") found = true;
    }
    closedir(tasks);
    return found;
}

// One byte from the socket within the time-out; false at its end, on an
// error or at the time-out.
bool read_byte(int socket, char* byte) {
    pollfd readable{socket, POLLIN, 0};
    if (poll(&readable, 1, ANSWER_TIMEOUT_MS) != 1) return false;
    return read(socket, byte, 1) == 1;
}

// This process's environment with the setting on.
std::vector<std::string> glthread_environment() {
    std::vector<std::string> variables;
    const std::string prefix = std::string(GLTHREAD_SETTING) + "=";
    for (char** variable = environ; *variable != nullptr; ++variable)
        if (std::strncmp(*variable, prefix.c_str(), prefix.size()) != 0) variables.emplace_back(*variable);
    variables.push_back(prefix + "true");
    return variables;
}

}  // namespace

int serve_glthread_model_frames() {
    std::string reason;
    const Model* model = engine_model(&reason);
    if (model == nullptr) {
        answer_line(reason);
        return 1;
    }
    Direct_Reference direct;
    if (!direct.start(MODEL_WIDTH, MODEL_HEIGHT, MODEL_BUFFER_DEPTH, &reason)) {
        answer_line(reason);
        return 1;
    }
    if (!glthread_running()) {
        answer_line("Mesa's threaded dispatch did not start with mesa_glthread=true");
        return 1;
    }
    Scene_Sender sender(*model, View_Frame{MODEL_WIDTH, MODEL_HEIGHT, MODEL_BUFFER_DEPTH}, false);
    answer_line("ready");
    int frame = 0;
    char request = 0;
    while (read(SERVER_SOCKET, &request, 1) == 1 && request == 'f') {
        sender.draw_frame(&direct.device(), frame++ % ORBIT_FRAMES, ORBIT_FRAMES);
        direct.device().show_frame(0);
        if (write(SERVER_SOCKET, "d", 1) != 1) break;
    }
    return 0;
}

Glthread_Frame_Server::~Glthread_Frame_Server() {
    if (socket_ >= 0) close(socket_);  // the server ends at the socket's end
    if (child_ <= 0) return;
    if (failed_) kill(child_, SIGKILL);  // it may hang
    waitpid(child_, nullptr, 0);
}

bool Glthread_Frame_Server::start(std::string* error) {
    int sockets[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0) {
        *error = std::string("socketpair: ") + std::strerror(errno);
        return false;
    }
    socket_ = sockets[0];
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, sockets[1], SERVER_SOCKET);
    std::string program = "tovrek_bench", argument = GLTHREAD_SERVER_ARGUMENT;
    char* arguments[] = {&program[0], &argument[0], nullptr};
    std::vector<std::string> variables = glthread_environment();
    std::vector<char*> environment;
    for (std::string& variable : variables) environment.push_back(&variable[0]);
    environment.push_back(nullptr);
    const int spawned = posix_spawn(&child_, "/proc/self/exe", &actions, nullptr, arguments, environment.data());
    posix_spawn_file_actions_destroy(&actions);
    close(sockets[1]);
    if (spawned != 0) {
        child_ = -1;
        *error = std::string("cannot start the glthread frame server: ") + std::strerror(spawned);
        return false;
    }
    std::string line;
    char byte = 0;
    while (read_byte(socket_, &byte) && byte != '\n') line += byte;
    if (line == "ready") return true;
    failed_ = true;
    *error = "the glthread frame server: " + (line.empty() ? std::string("ended or hung before it was ready") : line);
    return false;
}

bool Glthread_Frame_Server::draw_frame(std::string* error) {
    char answer = 0;
    if (send(socket_, "f", 1, MSG_NOSIGNAL) == 1 && read_byte(socket_, &answer) && answer == 'd') return true;
    failed_ = true;
    *error = "the glthread frame server ended or hung during a frame";
    return false;
}

}  // namespace bench
