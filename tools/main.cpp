// The tovrek command: `demo` renders the built-in scene, `replay` plays a
// host call trace against the driver, `info` says what the driver finds on
// this machine, `view` renders a model file. Each command's help and options live with the command; this
// file lists the commands and answers --help, -h and --version.
#include <cstdio>
#include <cstring>

#include "tools/demo_command.h"
#include "tools/info.h"
#include "tools/replay_command.h"
#include "tools/tool_command.h"
#include "tools/view_command.h"

// `view` reads model files under a ceiling of address space: past it an
// allocation must fail with null, as it does without a sanitizer, for the
// importer to report it.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }
#endif

namespace {

const Tool_Command* const COMMANDS[] = {&DEMO_COMMAND, &REPLAY_COMMAND, &INFO_COMMAND, &VIEW_COMMAND};

bool asks_for_help(const char* argument) {
    return std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0;
}

void print_usage(std::FILE* stream) {
    std::fputs("usage: tovrek COMMAND [OPTIONS]\n"
               "       tovrek --help | --version\n"
               "\ncommands:\n",
               stream);
    for (const Tool_Command* command : COMMANDS) std::fprintf(stream, "  %-8s %s\n", command->name, command->summary);
    std::fputs("\n`tovrek COMMAND --help` lists the command's options.\n", stream);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        print_usage(stderr);
        return USAGE_STATUS;
    }
    if (asks_for_help(argv[1])) {
        print_usage(stdout);
        return 0;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("tovrek %s\n", TOVREK_VERSION);
        return 0;
    }
    for (const Tool_Command* command : COMMANDS) {
        if (std::strcmp(argv[1], command->name) != 0) continue;
        for (int i = 2; i < argc; ++i) {
            if (!asks_for_help(argv[i])) continue;
            std::fputs(command->help, stdout);
            return 0;
        }
        return command->run(argc - 2, argv + 2);
    }
    std::fprintf(stderr, "tovrek: %s '%s'\n", argv[1][0] == '-' ? "unknown option" : "unknown command", argv[1]);
    print_usage(stderr);
    return USAGE_STATUS;
}
