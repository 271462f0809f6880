// The recorder layer: while any Gl_Recorder lives, a layer on top of the
// dispatch table notes every call (name, arguments, thread) into each live
// recorder and passes it on. Its entries are generated from the list of
// OpenGL functions, so no function escapes it.
#include <algorithm>
#include <mutex>
#include <type_traits>

#include "platform/gl_layers.h"

namespace winx {

struct Gl_Recorder::State {
    std::vector<Gl_Call> calls;
};

namespace {

// One lock for the list of recorders and everything they hold.
std::mutex& recorders_mutex() {
    static auto* mutex = new std::mutex;
    return *mutex;
}
std::vector<Gl_Recorder::State*>& recorders() {
    static auto* list = new std::vector<Gl_Recorder::State*>;
    return *list;
}

Gl_Layer& recorder_layer() {
    static auto* layer = new Gl_Layer;
    return *layer;
}

// Gathers a call's arguments: Call_Builder{"glViewport"}(x, y, w, h).
struct Call_Builder {
    const char* name;

    template <typename... Arguments>
    Gl_Call operator()(Arguments... arguments) const {
        Gl_Call call;
        call.name = name;
        call.thread = std::this_thread::get_id();
        (add(call, arguments), ...);
        return call;
    }

    template <typename T>
    static void add(Gl_Call& call, T argument) {
        if constexpr (std::is_pointer_v<T>)
            call.pointers.push_back(static_cast<const void*>(argument));
        else
            call.numbers.push_back(static_cast<double>(argument));
    }
};

void note(const Gl_Call& call) {
    std::lock_guard<std::mutex> lock(recorders_mutex());
    for (Gl_Recorder::State* state : recorders()) state->calls.push_back(call);
}

#define WINX_GL_RECORD(ret, name, params, args)       \
    ret record_##name params {                        \
        note(Call_Builder{"gl" #name} args);          \
        return recorder_layer().below().name args;    \
    }
WINX_GL_FUNCTIONS(WINX_GL_RECORD)
WINX_GL_OPTIONAL_FUNCTIONS(WINX_GL_RECORD)
#undef WINX_GL_RECORD

Gl_Layer& filled_recorder_layer() {
    Gl_Layer& layer = recorder_layer();
#define WINX_GL_RECORD_ENTRY(ret, name, params, args) layer.entries.name = record_##name;
    WINX_GL_FUNCTIONS(WINX_GL_RECORD_ENTRY)
    WINX_GL_OPTIONAL_FUNCTIONS(WINX_GL_RECORD_ENTRY)
#undef WINX_GL_RECORD_ENTRY
    return layer;
}

}  // namespace

Gl_Recorder::Gl_Recorder() : state_(new State) {
    std::lock_guard<std::mutex> lock(recorders_mutex());
    if (recorders().empty()) install_gl_layer(&filled_recorder_layer(), Gl_Layer_Place::top);
    recorders().push_back(state_);
}

Gl_Recorder::~Gl_Recorder() {
    {
        std::lock_guard<std::mutex> lock(recorders_mutex());
        auto& list = recorders();
        list.erase(std::remove(list.begin(), list.end(), state_), list.end());
        if (list.empty()) remove_gl_layer(&recorder_layer());
    }
    delete state_;
}

std::vector<Gl_Call> Gl_Recorder::calls() const {
    std::lock_guard<std::mutex> lock(recorders_mutex());
    return state_->calls;
}

size_t Gl_Recorder::count(const std::string& name) const {
    std::lock_guard<std::mutex> lock(recorders_mutex());
    return size_t(std::count_if(state_->calls.begin(), state_->calls.end(),
                                [&name](const Gl_Call& call) { return call.name == name; }));
}

void Gl_Recorder::clear() {
    std::lock_guard<std::mutex> lock(recorders_mutex());
    state_->calls.clear();
}

}  // namespace winx
