// The test main. Suites named Screen8_*, Screen16_* or Screen24_* need a
// screen of that depth: when every test selected to run belongs to one such
// suite, a private Xvfb of that depth is started for the process. Without a
// $DISPLAY a private 24-bit server is started for the others.
#include <cstdio>
#include <cstdlib>
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

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();

    int depth = selected_screen_depth();
    const char* display = std::getenv("DISPLAY");
    if (depth == 0 && (display == nullptr || *display == '\0')) depth = 24;
    if (depth != 0) {
        std::string error;
        if (!winx::start_private_display(1280, 1024, depth, &error)) {
            std::fprintf(stderr, "cannot start a private X server: %s\n", error.c_str());
            return 1;
        }
    }
    int status = RUN_ALL_TESTS();
    winx::stop_private_display();
    return status;
}
