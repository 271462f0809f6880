// The OpenGL stack's modules stay mapped until the process has ended. The
// stack unloads its vendor library and driver when the display connection
// closes and again from its own destructor at exit; a leak checker that runs
// after that meets the memory they handed out with no module to name, and no
// suppression can match it. The loader's own account of a whole run of the
// tool (LD_DEBUG=files) must show no module unloaded, from the first context
// to the last exit handler.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/process.h"

namespace {

// What the loader said of the tool's own process: the one file that names
// the driver module, among those of the private X server and its helpers.
std::string tool_loader_log(const std::string& folder) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::ifstream file(entry.path());
        const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        if (text.find("tovrek.hdi") != std::string::npos) return text;
    }
    return {};
}

TEST(Gl_Modules, NoneIsUnloadedBeforeTheProcessEnds) {
    const std::string folder = make_temporary_folder();
    ASSERT_FALSE(folder.empty());
    // A run that draws, and one that only constructs a renderer object.
    const std::vector<std::vector<std::string>> runs = {
        {TOVREK_TOOL_PATH, "demo", "-o", folder + "/demo.png"}, {TOVREK_TOOL_PATH, "info"}};
    for (const std::vector<std::string>& run : runs) {
        const std::string& command = run[1];
        SCOPED_TRACE(command);
        const std::string logs = folder + "/" + command;
        std::filesystem::create_directory(logs);
        setenv("LD_DEBUG", "files", 1);
        setenv("LD_DEBUG_OUTPUT", (logs + "/ld").c_str(), 1);
        // Without a display the tool starts a private X server, and closes its
        // connection to it at exit.
        const Process_Result result = run_process(run, {"DISPLAY"});
        unsetenv("LD_DEBUG");
        unsetenv("LD_DEBUG_OUTPUT");
        ASSERT_EQ(result.status, 0) << result.errors;

        const std::string log = tool_loader_log(logs);
        ASSERT_NE(log.find("libGLX_"), std::string::npos) << "the tool did not reach OpenGL";
        ASSERT_NE(log.find("calling fini"), std::string::npos) << "the log does not reach the exit";
        std::string unloaded;
        for (size_t at = log.find("destroying link map"); at != std::string::npos;
             at = log.find("destroying link map", at + 1)) {
            const size_t line = log.rfind('\n', at) + 1;
            unloaded += log.substr(line, at - line) + "\n";
        }
        EXPECT_TRUE(unloaded.empty()) << "unloaded before the process ended:\n" << unloaded;
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
