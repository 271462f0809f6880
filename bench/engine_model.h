// The real model the model benchmarks draw: the largest mesh of Debian's
// assimp-testmodels, the two-cylinder engine in binary glTF, read once per
// process. It draws nothing.
#pragma once

#include <string>

#include <benchmark/benchmark.h>

#include "viewer/model.h"

namespace bench {

// Frames of one turn of the orbit: the picture changes every frame.
constexpr int ORBIT_FRAMES = 120;
// The frame of the model benchmarks, as `tovrek view` draws it by default.
constexpr int MODEL_WIDTH = 640;
constexpr int MODEL_HEIGHT = 480;
constexpr int MODEL_BUFFER_DEPTH = 24;

// The model, or null, with the reason, when it cannot be read.
const Model* engine_model(std::string* reason);

// The same for a benchmark: null when it cannot be read, and then the
// benchmark is skipped with the reason.
const Model* engine_model_or_skip(benchmark::State& state);

}  // namespace bench
