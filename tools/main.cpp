// The tovrek command: `demo` renders the built-in scene, `replay` plays a
// host call trace against the driver, `info` says what the driver finds on
// this machine, `view` renders a model file.
#include <cstdio>
#include <cstring>

#include "tools/demo_command.h"
#include "tools/info.h"
#include "tools/replay_command.h"
#include "tools/view_command.h"

// `view` reads model files under a ceiling of address space: past it an
// allocation must fail with null, as it does without a sanitizer, for the
// importer to report it.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }
#endif

namespace {

const char* const USAGE =
    "usage: tovrek demo [-o FILE.png] [--module PATH]\n"
    "       tovrek replay FILE.trace [--out DIR] [--module PATH]\n"
    "       tovrek info [--module PATH] [--screen WxHxDEPTH]\n"
    "       tovrek view MODEL [options]   (tovrek view --help for its options)\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "demo") == 0) return demo_command(argc - 2, argv + 2);
    if (argc >= 2 && std::strcmp(argv[1], "replay") == 0) return replay_command(argc - 2, argv + 2);
    if (argc >= 2 && std::strcmp(argv[1], "info") == 0) return info_command(argc - 2, argv + 2);
    if (argc >= 2 && std::strcmp(argv[1], "view") == 0) return view_command(argc - 2, argv + 2);
    std::fputs(USAGE, stderr);
    return 2;
}
