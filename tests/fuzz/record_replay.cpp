// Fuzz target record-replay: a host session made from the fuzzer's bytes
// (tests/round_trip/host_session.h) is run through the host library with
// recording on against the real driver on a private 16-bit X server (so
// that the board accelerates unless the session's profile or registry says
// otherwise), and its trace replayed in this process. The two pictures
// after the last show must be identical, the trace must read back and
// every statement run; neither run may crash or leak.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/winx.h"
#include "tests/round_trip/host_session.h"

namespace {

std::string folder;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    unsetenv("WINX_BOARD");
    unsetenv("WINX_BOARD_FILE");
    unsetenv("WINX_REGISTRY");
    unsetenv("TOVREK_RECORD");
    std::string reason;
    if (!winx::start_private_display(320, 320, 16, &reason)) {
        std::fprintf(stderr, "record-replay fuzz target: no private X server: %s\n", reason.c_str());
        std::abort();
    }
    char made[] = "/tmp/tovrek-fuzz-record-replay-XXXXXX";
    if (mkdtemp(made) == nullptr) std::abort();
    folder = made;
    prepare_for_sessions(TOVREK_MODULE_PATH);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Session_Outcome outcome = run_generated_session(data, size, TOVREK_MODULE_PATH, folder);
    if (!outcome.problem.empty()) {
        std::fprintf(stderr, "record-replay: %s (trace %s)\n", outcome.problem.c_str(), outcome.trace_path.c_str());
        std::abort();
    }
    return 0;
}
