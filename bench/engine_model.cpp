// Reading the engine model once (see engine_model.h). The package's
// PLY/pond.0.ply would be larger but holds no faces and, as read,
// coordinates up to 3.4e38 and NaN: no picture.
#include "bench/engine_model.h"

#include <memory>
#include <string>

#include "viewer/model_import.h"

namespace bench {
namespace {

constexpr const char* MODEL_PATH = "/usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb";

}  // namespace

const Model* engine_model(std::string* reason) {
    static std::string failure;
    static const std::unique_ptr<Model> model = [] {
        auto read = std::make_unique<Model>();
        if (!import_model_file(MODEL_PATH, read.get(), &failure)) read.reset();
        return read;
    }();
    if (model == nullptr) *reason = std::string(MODEL_PATH) + ": " + failure;
    return model.get();
}

const Model* engine_model_or_skip(benchmark::State& state) {
    std::string reason;
    const Model* model = engine_model(&reason);
    if (model == nullptr) state.SkipWithError(reason.c_str());
    return model;
}

}  // namespace bench
