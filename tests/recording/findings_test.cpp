// What the record-replay fuzz target found, kept as host sessions that must
// replay to the same picture: each file of tests/recording/findings/ is the
// bytes of one session.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/round_trip/host_session.h"
#include "tests/support/process.h"

namespace {

TEST(Screen16_Fuzz_Findings, EveryFoundSessionReplaysToTheSamePicture) {
    const std::string folder = make_temporary_folder();
    prepare_for_sessions(TOVREK_MODULE_PATH);
    for (const auto& entry : std::filesystem::directory_iterator(TOVREK_SOURCE_DIR "/tests/recording/findings")) {
        std::ifstream file(entry.path(), std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        const Session_Outcome outcome = run_generated_session(bytes.data(), bytes.size(), TOVREK_MODULE_PATH, folder);
        EXPECT_EQ(outcome.problem, "") << entry.path().filename();
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
