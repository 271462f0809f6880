// Usage mistakes of the tovrek command's subcommands.
#include "tools/tool_command.h"

#include <cstdio>

int usage_error(const Tool_Command& command, const std::string& problem) {
    std::fprintf(stderr, "tovrek %s: %s\n%s", command.name, problem.c_str(), command.help);
    return USAGE_STATUS;
}

int brief_usage_error(const Tool_Command& command, const std::string& problem) {
    std::fprintf(stderr, "tovrek %s: %s\nTry 'tovrek %s --help'.\n", command.name, problem.c_str(), command.name);
    return USAGE_STATUS;
}

std::string argument_problem(const std::string& argument, bool takes_value) {
    if (takes_value) return "option " + argument + " needs a value";
    if (!argument.empty() && argument[0] == '-') return "unknown option " + argument;
    return "unexpected argument '" + argument + "'";
}
