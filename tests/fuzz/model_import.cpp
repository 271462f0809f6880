// Fuzz target model-import: any bytes as a model file, read in a child
// process as the viewer reads a file, by every enabled importer in turn
// until one yields a model, which is then framed, lit, projected and sent as
// one frame through an action table (the in-memory software reference, so no
// X server is needed). The import either yields a model or a one-line
// reason; nothing crashes, hangs or leaks here. A crash or a hang inside the
// import library ends only the child and is such a reason; a child that a
// sanitizer stopped (a non-zero exit status) is a fault, in this program's
// own conversion code. One child per input, with one second of CPU time for
// all its importers, keeps an input that hangs them well within the
// fuzzer's time-out. The fuzzer's coverage is this process's only: how the
// model comes back, and what the viewer does with it, not the library's
// paths.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>

#include "viewer/import_child.h"
#include "viewer/model_import.h"
#include "viewer/model_view.h"
#include "viewer/scene_sender.h"
#include "viewer/software_device.h"

namespace {

// Small, so that one input stays well under a second however many
// triangles it holds.
constexpr int FRAME_WIDTH = 64;
constexpr int FRAME_HEIGHT = 48;

const char* const EXTENSIONS[] = {"obj", "ply", "stl", "off", "3ds", "gltf", "glb", "dae"};
// CPU time per input: importers that go round for ever take no more than a
// second of it.
constexpr int IMPORT_CPU_SECONDS = 1;

// Every importer in turn, in the child: the first model, or the last reason.
bool import_with_any_importer(const uint8_t* data, size_t size, Model* model, std::string* reason) {
    for (const char* extension : EXTENSIONS) {
        Model attempt;
        if (import_model_memory_in_process(data, size, extension, &attempt, reason)) {
            *model = std::move(attempt);
            return true;
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Model model;
    std::string reason;
    const Model_Import import = [&](Model* read, std::string* why) {
        return import_with_any_importer(data, size, read, why);
    };
    Child_Ending ending;
    if (!import_in_child(import, IMPORT_CPU_SECONDS, &model, &reason, &ending)) {
        if (reason.empty() || reason.find('\n') != std::string::npos || ending == Child_Ending::stopped ||
            ending == Child_Ending::damaged_answer)
            std::abort();
        return 0;
    }
    const View_Frame frame{FRAME_WIDTH, FRAME_HEIGHT, 24};
    Software_Device device(frame.width, frame.height, frame.buffer_depth);
    Scene_Sender sender(model, frame, true);
    sender.draw_frame(&device, 0, 1);
    return 0;
}
