// The models of Debian's assimp-testmodels package that the viewer's tests
// draw. A missing package fails the test that needs it, with what to do.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

inline const char* const TEST_MODELS = "/usr/share/assimp/models/";

inline std::string test_model(const std::string& relative) {
    const std::string path = TEST_MODELS + relative;
    if (!std::filesystem::exists(path))
        ADD_FAILURE() << "missing " << path
                      << ": the assimp-testmodels package is not installed (scripts/install-deps installs it)";
    return path;
}
