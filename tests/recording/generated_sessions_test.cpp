// Host sessions from fixed seeds, made the way the record-replay fuzz target
// makes them from its bytes: each is recorded, its trace replayed in this
// process, and the pictures after the last show must be identical.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <vector>

#include "tests/round_trip/host_session.h"
#include "tests/support/process.h"

namespace {

constexpr int SESSIONS = 300;
constexpr size_t SESSION_BYTES = 600;

TEST(Screen16_Generated_Sessions, EveryRecordedSessionReplaysToTheSamePicture) {
    const std::string folder = make_temporary_folder();
    prepare_for_sessions(TOVREK_MODULE_PATH);
    int failures = 0;
    for (int seed = 1; seed <= SESSIONS && failures < 5; ++seed) {
        std::mt19937 generator{uint32_t(seed)};
        std::vector<uint8_t> bytes(SESSION_BYTES);
        for (uint8_t& byte : bytes) byte = uint8_t(generator());
        const Session_Outcome outcome = run_generated_session(bytes.data(), bytes.size(), TOVREK_MODULE_PATH, folder);
        if (!outcome.problem.empty()) {
            ++failures;
            ADD_FAILURE() << "seed " << seed << ": " << outcome.problem;
        }
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
