// Fuzz target board-profile: any bytes as the board profile file that a user
// edits by hand, read the way the platform reads it ($WINX_BOARD_FILE). The
// file is either taken or refused with a message and the default profile;
// whatever is taken reads back the same from its own words. Nothing crashes,
// hangs or leaks.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/winx.h"

namespace {

std::string profile_path;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // No screen: the memory figures that depend on it stay at their defaults.
    unsetenv("DISPLAY");
    unsetenv("WINX_BOARD");
    char path[] = "/tmp/tovrek-fuzz-board-XXXXXX";
    const int file = mkstemp(path);
    if (file < 0) std::abort();
    close(file);
    profile_path = path;
    setenv("WINX_BOARD_FILE", path, 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* file = std::fopen(profile_path.c_str(), "wb");
    if (file == nullptr) std::abort();
    if (size != 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);
    winx::reset_board_profile();
    const winx::Board_Profile profile = winx::board_profile();

    winx::Board_Profile again;
    std::string error;
    const std::string words = winx::board_profile_text(profile);
    if (!winx::parse_board_profile(words, &again, &error)) std::abort();
    if (winx::board_profile_text(again) != words) std::abort();
    return 0;
}
