// The test main. Suites named Screen8_*, Screen16_* or Screen24_* need a
// screen of that depth: when every test selected to run belongs to one such
// suite, a private Xvfb of that depth is started for the process; the others
// get a private 24-bit one. Every test process has a server of its own
// because tests run side by side, and on a shared server their windows would
// cover each other and make snapshots undefined. The choice is
// made in a test environment's set-up, because the filter has selected the
// tests to run only by then.
#include <string>

#include <gtest/gtest.h>

#include "platform/winx.h"

namespace {

// The depth that every selected test asks for, 0 when they do not agree or
// none asks.
int selected_screen_depth() {
    int depth = -1;
    const testing::UnitTest& unit = *testing::UnitTest::GetInstance();
    for (int s = 0; s < unit.total_test_suite_count(); ++s) {
        const testing::TestSuite& suite = *unit.GetTestSuite(s);
        if (suite.test_to_run_count() == 0) continue;
        const std::string name = suite.name();
        int wanted = 0;
        if (name.rfind("Screen8_", 0) == 0) wanted = 8;
        else if (name.rfind("Screen16_", 0) == 0) wanted = 16;
        else if (name.rfind("Screen24_", 0) == 0) wanted = 24;
        if (depth == -1) depth = wanted;
        else if (depth != wanted) return 0;
    }
    return depth < 0 ? 0 : depth;
}

// Starts the server that the selected tests need, and stops it at the end.
class Private_Display : public testing::Environment {
public:
    void SetUp() override {
        int depth = selected_screen_depth();
        if (depth == 0) depth = 24;
        std::string error;
        if (!winx::start_private_display(1280, 1024, depth, &error))
            FAIL() << "cannot start a private X server: " << error;
    }
    void TearDown() override { winx::stop_private_display(); }
};

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::AddGlobalTestEnvironment(new Private_Display);
    return RUN_ALL_TESTS();
}
