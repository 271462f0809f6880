// The layers of the OpenGL dispatch table, for the platform and for tests:
// a layer replaces some entries of the table and calls the table below it
// for the rest of its work. Two exist: the board-request guard, always just
// above the system table, and the recorder that tests install on top. The
// driver never includes this header; it only calls gl* names (platform/gl.h).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/gl.h"
#include "platform/windows.h"

namespace winx {

// ---- layers ---------------------------------------------------------------

// A layer's own entry points. A null entry costs nothing: the composed table
// holds the entry of the table below in its place. The layer's functions
// reach the table below through below(), which changes as layers come and
// go (composed tables are never freed, so a call in flight stays valid).
struct Gl_Layer {
    Gl_Dispatch entries{};
    std::atomic<const Gl_Dispatch*> below_table{nullptr};

    const Gl_Dispatch& below() const { return *below_table.load(std::memory_order_acquire); }
};

enum class Gl_Layer_Place {
    top,           // above every layer installed so far
    above_system,  // directly above the system table, beneath every other layer
};

// Puts a layer into the table (moving it when it is in already), or takes it
// out. The layer must outlive its installation. Not for the call path: each
// change composes new tables under a lock.
void install_gl_layer(Gl_Layer* layer, Gl_Layer_Place place);
void remove_gl_layer(Gl_Layer* layer);

// The entry points of the system libGL, with no layer.
const Gl_Dispatch& system_gl();

// ---- board requests -----------------------------------------------------------

// A board request block: ten 32-bit words, all this marker except word 2,
// which holds the request code. It is passed as the destination of
// glReadPixels and is only 40 bytes long, so it must never reach libGL.
constexpr uint32_t board_request_marker = 0xF00DF00Du;
constexpr int board_request_words = 10;
constexpr int board_request_code_word = 2;

// True when the pointer holds a board request block. Reads a word past the
// first only while the words so far carry the marker.
bool is_board_request_block(const void* pointer);

// A glReadPixels that carried a board request, with the context current on
// the calling thread.
struct Board_Request {
    uint32_t code = 0;
    GLint x = 0;
    GLint y = 0;
    GLsizei width = 0;
    GLsizei height = 0;
    GLenum format = 0;
    GLenum type = 0;
    HGLRC context = nullptr;
};

// What the guard does with a board request; the board's OpenGL driver
// installs the one that carries requests out. The default (or an empty
// handler) drops them. The handler runs on the thread that called
// glReadPixels, may call the gl* names, and may be replaced at any time.
using Board_Request_Handler = std::function<void(const Board_Request&)>;
void set_board_request_handler(Board_Request_Handler handler);

// ---- recorder -------------------------------------------------------------------

// One OpenGL call as the recorder saw it.
struct Gl_Call {
    std::string name;                   // "glViewport"
    std::vector<double> numbers;        // the numeric arguments, in order
    std::vector<const void*> pointers;  // the pointer arguments, in order
    std::thread::id thread;             // the calling thread
};

// Records every OpenGL call, from every thread, while it lives (it sits on
// top of the table). Several recorders may live at once; each sees every
// call made in its lifetime.
class Gl_Recorder {
public:
    Gl_Recorder();
    ~Gl_Recorder();
    Gl_Recorder(const Gl_Recorder&) = delete;
    Gl_Recorder& operator=(const Gl_Recorder&) = delete;

    std::vector<Gl_Call> calls() const;
    // How many calls of a name ("glDrawArrays") were recorded.
    size_t count(const std::string& name) const;
    void clear();

    struct State;  // what one recorder holds; defined with the layer

private:
    State* state_;
};

}  // namespace winx
