// The direct reference's model frames with Mesa's threaded dispatch on.
// Mesa reads that setting (mesa_glthread=true in the environment) when a
// process first opens the display's screen, and would apply it to every
// context of the process, the driver's too: so this program starts itself
// again as a frame server with the setting, and the benchmark asks it for
// one frame at a time over a socket. The benchmark's own process never has
// the setting (main removes it).
#pragma once

#include <string>

#include <sys/types.h>

namespace bench {

// The first argument that makes this program the frame server, talking on
// file descriptor 3.
constexpr const char* GLTHREAD_SERVER_ARGUMENT = "--serve-glthread-model-frames";

// The server's side: reads the engine, makes the direct reference on a
// window of its own, says whether Mesa's threaded dispatch is running, then
// draws and presents one frame of the orbit per request until the socket
// closes. Returns the process's exit status.
int serve_glthread_model_frames();

// The benchmark's side: the server process.
class Glthread_Frame_Server {
public:
    Glthread_Frame_Server() = default;
    ~Glthread_Frame_Server();
    Glthread_Frame_Server(const Glthread_Frame_Server&) = delete;
    Glthread_Frame_Server& operator=(const Glthread_Frame_Server&) = delete;

    // Starts the server and waits until it is ready. False, with the
    // server's reason, when it cannot draw or Mesa's threading is not on.
    bool start(std::string* error);
    // One frame drawn and presented by the server.
    bool draw_frame(std::string* error);

private:
    pid_t child_ = -1;
    int socket_ = -1;
    bool failed_ = false;
};

}  // namespace bench
