// The tovrek command's own help and mistakes: help on standard output with
// status 0, the usage on standard error with status 2 for anything it does
// not know, and each command's help naming every option of its usage line.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>

#include "tests/support/process.h"

namespace {

// The options a help text's first (usage) line names, such as "-o" and
// "--module".
std::set<std::string> usage_options(const std::string& help) {
    std::string usage = help.substr(0, help.find('\n'));
    std::set<std::string> options;
    std::regex option(R"((^|[\[ ])(--?[a-z][a-z-]*))");
    for (std::sregex_iterator it(usage.begin(), usage.end(), option), end; it != end; ++it) options.insert((*it)[2]);
    return options;
}

TEST(Command_Line, HelpGoesToStandardOutputWithStatusZero) {
    for (const char* ask : {"--help", "-h"}) {
        Process_Result result = run_process({TOVREK_TOOL_PATH, ask});
        EXPECT_EQ(result.status, 0) << ask;
        EXPECT_EQ(result.errors, "") << ask;
        for (const char* command : {"demo", "replay", "info"})
            EXPECT_NE(result.output.find("\n  " + std::string(command) + " "), std::string::npos) << result.output;
    }
    Process_Result version = run_process({TOVREK_TOOL_PATH, "--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(std::regex_match(version.output, std::regex("tovrek [0-9]+\\.[0-9]+\\.[0-9]+\n"))) << version.output;
}

TEST(Command_Line, EachCommandsHelpExplainsEveryOptionOfItsUsage) {
    for (const char* command : {"demo", "replay", "info", "view"}) {
        // Help wins wherever it stands, even after a mistake.
        for (std::vector<std::string> arguments : {std::vector<std::string>{TOVREK_TOOL_PATH, command, "--help"},
                                                    {TOVREK_TOOL_PATH, command, "--bogus", "-h"}}) {
            Process_Result result = run_process(arguments);
            EXPECT_EQ(result.status, 0) << command;
            EXPECT_EQ(result.errors, "") << command;
            ASSERT_EQ(result.output.rfind(std::string("usage: tovrek ") + command + " ", 0), 0u) << result.output;
            std::set<std::string> options = usage_options(result.output);
            EXPECT_GE(options.size(), 1u) << result.output;
            for (const std::string& option : options) {
                std::regex explained("\n  (-[a-z], )?" + option + "[ ,][^\n]*[a-z][^\n]*\n");
                EXPECT_TRUE(std::regex_search(result.output, explained))
                    << command << " " << option << " has no line of its own:\n" << result.output;
            }
        }
    }
}

// The man page has each command in its synopsis and a paragraph of its own.
TEST(Command_Line, TheManPageDescribesEveryCommand) {
    std::ifstream file(std::string(TOVREK_SOURCE_DIR) + "/docs/tovrek.1");
    const std::string page((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    for (const char* command : {"demo", "replay", "info", "view"}) {
        EXPECT_NE(page.find(std::string("\n.B tovrek ") + command + "\n"), std::string::npos) << command;
        EXPECT_NE(page.find(std::string("\n.TP\n.B ") + command + "\n"), std::string::npos) << command;
    }
}

TEST(Command_Line, WhatItDoesNotKnowGivesTheUsageOnStandardErrorAndStatusTwo) {
    const std::vector<std::vector<std::string>> mistakes = {
        {TOVREK_TOOL_PATH},
        {TOVREK_TOOL_PATH, "frobnicate"},
        {TOVREK_TOOL_PATH, "--frobnicate"},
        {TOVREK_TOOL_PATH, "demo", "--frames", "3"},
        {TOVREK_TOOL_PATH, "demo", "-o"},
        {TOVREK_TOOL_PATH, "replay", "a.trace", "--junit"},
        {TOVREK_TOOL_PATH, "info", "--screen", "12x12x7"},
    };
    for (const std::vector<std::string>& arguments : mistakes) {
        Process_Result result = run_process(arguments);
        std::string line = arguments.size() > 1 ? arguments[1] : "(nothing)";
        EXPECT_EQ(result.status, 2) << line;
        EXPECT_EQ(result.output, "") << line;
        EXPECT_NE(result.errors.find("usage: tovrek"), std::string::npos) << line << ": " << result.errors;
    }
    EXPECT_EQ(run_process({TOVREK_TOOL_PATH, "demo", "-o"}).errors.rfind("tovrek demo: option -o needs a value\n", 0),
              0u);
}

}  // namespace
