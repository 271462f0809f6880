// MessageBoxA and its replaceable sink. There is no dialog: every box goes to
// the sink, which by default prints "CAPTION: TEXT" on standard error and
// answers IDOK at once. Message_Recorder is a sink that keeps every box.
#include <cstdio>
#include <memory>
#include <mutex>

#include "platform/winx.h"

namespace {

int print_message(const std::string& caption, const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return IDOK;
}

std::mutex sink_mutex;
winx::Message_Sink current_sink = print_message;

}  // namespace

void winx::set_message_sink(Message_Sink sink) {
    std::lock_guard<std::mutex> lock(sink_mutex);
    current_sink = sink ? std::move(sink) : Message_Sink(print_message);
}

int WINAPI MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT) {
    winx::Message_Sink sink;
    {
        std::lock_guard<std::mutex> lock(sink_mutex);
        sink = current_sink;
    }
    // Called outside the lock: a sink may take its time or show a box itself.
    // Without a caption Win32 titles the box "Error".
    return sink(caption ? caption : "Error", text ? text : "");
}

namespace {

// The recorded boxes live apart from the recorder, shared with its sink, so a
// box that arrives while the recorder is being destroyed still has a home.
struct Message_Log {
    std::mutex mutex;
    std::vector<winx::Message_Box> boxes;
};

}  // namespace

struct winx::Message_Recorder::State {
    std::shared_ptr<Message_Log> log = std::make_shared<Message_Log>();
};

winx::Message_Recorder::Message_Recorder() : state_(new State) {
    std::shared_ptr<Message_Log> log = state_->log;
    set_message_sink([log](const std::string& caption, const std::string& text) {
        std::lock_guard<std::mutex> lock(log->mutex);
        log->boxes.push_back(Message_Box{caption, text});
        return IDOK;
    });
}

winx::Message_Recorder::~Message_Recorder() {
    set_message_sink(nullptr);
    delete state_;
}

std::vector<winx::Message_Box> winx::Message_Recorder::boxes() const {
    std::lock_guard<std::mutex> lock(state_->log->mutex);
    return state_->log->boxes;
}

void winx::Message_Recorder::clear() {
    std::lock_guard<std::mutex> lock(state_->log->mutex);
    state_->log->boxes.clear();
}
