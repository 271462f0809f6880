// Fuzz target model-import: any bytes as a model file, read by every enabled
// importer in turn and, when one of them yields a model, framed, lit,
// projected and sent as one frame through an action table (the in-memory
// software reference, so no X server is needed). The import either yields a
// model or a one-line reason; nothing crashes, hangs or leaks.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (const char* extension : EXTENSIONS) {
        Model model;
        std::string reason;
        if (!import_model_memory(data, size, extension, &model, &reason)) {
            if (reason.empty() || reason.find('\n') != std::string::npos) std::abort();
            continue;
        }
        const View_Frame frame{FRAME_WIDTH, FRAME_HEIGHT, 24};
        Software_Device device(frame.width, frame.height, frame.buffer_depth);
        Scene_Sender sender(model, frame, true);
        sender.draw_frame(&device, 0, 1);
    }
    return 0;
}
