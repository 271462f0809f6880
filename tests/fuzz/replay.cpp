// Fuzz target replay: traces made from the fuzzer's bytes, played in this
// process against the real driver on a private X server. Any statement with
// any arguments in any order (draws before `start`, `show` after a failed
// construction, absurd sizes and options, non-finite coordinates) must leave
// the process standing: failed expectations are fine, crashes, hangs and
// leaks are not. Inputs are bounded so that one plays in well under a
// second: a window of at most 256 x 256 made before the first renderer
// object, at most 4 renderer objects, 4,000 vertices, 96 statements and
// generated images of at most 256 x 256; statements that read or write files
// are left out.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <type_traits>

#include "host/loader.h"
#include "platform/winx.h"
#include "tools/trace_executor.h"
#include "tools/trace_parser.h"

namespace {

constexpr int MAX_WINDOW_SIDE = 256;
constexpr int MAX_IMAGE_SIDE = 256;
constexpr int MAX_DEVICES = 4;
constexpr size_t MAX_VERTICES = 4000;
constexpr size_t MAX_STATEMENTS = 96;

std::string out_directory;

bool image_allowed(const Image_Source& source) {
    return source.kind != Image_Source::Kind::png_file && source.width <= MAX_IMAGE_SIDE &&
           source.height <= MAX_IMAGE_SIDE;
}

bool within_bounds(const Trace& trace) {
    if (trace.statements.size() > MAX_STATEMENTS) return false;
    size_t vertices = 0;
    int devices = 0;
    bool window = false;
    for (const Statement& statement : trace.statements) {
        const bool allowed = std::visit(
            [&](const auto& body) {
                using Body = std::decay_t<decltype(body)>;
                if constexpr (std::is_same_v<Body, Window_Statement>)
                    return (window = true) && body.width <= MAX_WINDOW_SIDE &&
                           body.height <= MAX_WINDOW_SIDE;
                // Without a window the host's routines take the window as
                // 16384 pixels square, far beyond these bounds.
                else if constexpr (std::is_same_v<Body, Device_Statement>)
                    return window && ++devices <= MAX_DEVICES;
                else if constexpr (std::is_same_v<Body, Primitive_Statement>)
                    return (vertices += body.vertices.size()) <= MAX_VERTICES;
                else if constexpr (std::is_same_v<Body, Texture_Statement>)
                    return body.none || image_allowed(body.image);
                else if constexpr (std::is_same_v<Body, Image_Statement>)
                    return image_allowed(body.source);
                else if constexpr (std::is_same_v<Body, Read_Statement>)
                    return !body.save.has_value();
                else if constexpr (std::is_same_v<Body, Snapshot_Statement>)
                    return !body.file.has_value();
                else
                    return true;
            },
            statement.body);
        if (!allowed) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    unsetenv("WINX_BOARD");
    unsetenv("WINX_BOARD_FILE");
    unsetenv("WINX_REGISTRY");
    std::string reason;
    if (!winx::start_private_display(320, 320, 24, &reason)) {
        std::fprintf(stderr, "replay fuzz target: no private X server: %s\n", reason.c_str());
        std::abort();
    }
    // Loaded for good: an instrumented module must never be unloaded while
    // the fuzzer counts its coverage.
    static HT_Driver_Module module;
    if (!module.load(TOVREK_MODULE_PATH)) {
        std::fprintf(stderr, "replay fuzz target: %s\n", module.error().c_str());
        std::abort();
    }
    char folder[] = "/tmp/tovrek-fuzz-replay-XXXXXX";
    if (mkdtemp(folder) == nullptr) std::abort();
    out_directory = folder;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Trace trace;
    trace.path = "fuzz.trace";
    Read_Error error;
    if (!parse_trace(std::string(reinterpret_cast<const char*>(data), size), &trace, &error)) return 0;
    if (!within_bounds(trace)) return 0;
    // Every input starts from the same world: an empty registry, the default
    // board.
    winx::registry_clear();
    winx::set_board_profile(winx::Board_Profile{});
    Replay_State state(out_directory, out_directory, TOVREK_MODULE_PATH);
    run_trace(trace, state);
    return 0;
}
