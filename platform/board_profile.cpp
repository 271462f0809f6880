// The virtual board's profile: reading it from $WINX_BOARD_FILE and
// $WINX_BOARD (the words are described in winx.h), the in-process setter, and
// the default figures for the current screen. It answers nothing itself: the
// escapes (escape.cpp) and DirectDraw (ddraw.cpp) consult it.
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>

#include "platform/winx.h"

namespace {

struct Profile_Store {
    std::mutex mutex;
    bool loaded = false;
    winx::Board_Profile profile;
};

Profile_Store& store() {
    static Profile_Store* profile_store = new Profile_Store;  // outlives threads still running at exit
    return *profile_store;
}

bool parse_number(const std::string& text, uint32_t* value) {
    const bool hexadecimal = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hexadecimal ? text.substr(2) : text;
    if (digits.empty() || !std::isxdigit(static_cast<unsigned char>(digits[0]))) return false;
    errno = 0;
    char* end = nullptr;
    unsigned long long number = std::strtoull(digits.c_str(), &end, hexadecimal ? 16 : 10);
    if (errno != 0 || *end != '\0' || number > 0xFFFFFFFFull) return false;
    *value = uint32_t(number);
    return true;
}

bool parse_word(const std::string& word, winx::Board_Profile* profile) {
    size_t equals = word.find('=');
    if (equals == std::string::npos) return false;
    const std::string key = word.substr(0, equals);
    const std::string value = word.substr(equals + 1);
    uint32_t number = 0;
    if (key == "video_memory" && parse_number(value, &number)) {
        profile->video_memory = number;
    } else if (key == "free_video_memory" && parse_number(value, &number)) {
        profile->free_video_memory = number;
    } else if (key == "boards" && parse_number(value, &number)) {
        profile->boards = number;
    } else if (key == "directdraw") {
        if (value == "ok") profile->directdraw = winx::DirectDraw_Behaviour::ok;
        else if (value == "create_fails") profile->directdraw = winx::DirectDraw_Behaviour::create_fails;
        else if (value == "cooperative_fails") profile->directdraw = winx::DirectDraw_Behaviour::cooperative_fails;
        else if (value == "query_fails") profile->directdraw = winx::DirectDraw_Behaviour::query_fails;
        else return false;
    } else if (key == "escapes") {
        if (value == "answered") profile->escapes_answered = true;
        else if (value == "silent") profile->escapes_answered = false;
        else return false;
    } else {
        return false;
    }
    return true;
}

// The file's text with its comments taken out.
bool read_profile_file(const std::string& path, std::string* text) {
    std::ifstream file(path);
    if (!file) return false;
    std::string line;
    while (std::getline(file, line)) {
        *text += line.substr(0, line.find('#'));
        *text += '\n';
    }
    return true;
}

winx::Board_Profile profile_from_environment() {
    winx::Board_Profile profile;
    std::string error;
    const char* file = std::getenv("WINX_BOARD_FILE");
    if (file != nullptr && *file != '\0') {
        std::string text;
        if (!read_profile_file(file, &text)) {
            std::fprintf(stderr, "winx board: %s: cannot be read\n", file);
            return winx::Board_Profile{};
        }
        if (!winx::parse_board_profile(text, &profile, &error)) {
            std::fprintf(stderr, "winx board: %s: %s\n", file, error.c_str());
            return winx::Board_Profile{};
        }
    }
    const char* words = std::getenv("WINX_BOARD");
    if (words != nullptr && !winx::parse_board_profile(words, &profile, &error)) {
        std::fprintf(stderr, "winx board: $WINX_BOARD: %s\n", error.c_str());
        return winx::Board_Profile{};
    }
    return profile;
}

// Enough video memory for the screen: two colour buffers and a 16-bit depth
// buffer, rounded up to a power of two as boards are built. Without a screen
// nothing is needed.
uint32_t memory_for_screen() {
    winx::Screen_Info screen;
    if (!winx::screen_info(&screen)) return 0;
    const uint64_t pixels = uint64_t(screen.width) * uint64_t(screen.height);
    const uint64_t need = pixels * uint64_t(screen.bits_per_pixel) / 4 + 2 * pixels;
    uint64_t memory = 1u << 20;
    while (memory < need && memory < 0x80000000ull) memory <<= 1;
    return uint32_t(memory);
}

}  // namespace

bool winx::parse_board_profile(const std::string& text, Board_Profile* profile,
                               std::string* error) {
    Board_Profile parsed = *profile;
    std::istringstream words(text);
    std::string word;
    while (words >> word) {
        if (!parse_word(word, &parsed)) {
            if (error != nullptr) *error = "not a board setting: " + word;
            return false;
        }
    }
    *profile = parsed;
    return true;
}

winx::Board_Profile winx::board_profile() {
    Board_Profile profile;
    {
        std::lock_guard<std::mutex> lock(store().mutex);
        if (!store().loaded) {
            store().profile = profile_from_environment();
            store().loaded = true;
        }
        profile = store().profile;
    }
    // Worked out outside the lock: it asks the X server.
    if (!profile.video_memory || !profile.free_video_memory) {
        const uint32_t enough = memory_for_screen();
        if (!profile.video_memory) profile.video_memory = enough;
        if (!profile.free_video_memory) profile.free_video_memory = *profile.video_memory;
    }
    return profile;
}

void winx::set_board_profile(const Board_Profile& profile) {
    std::lock_guard<std::mutex> lock(store().mutex);
    store().profile = profile;
    store().loaded = true;
}

void winx::reset_board_profile() {
    Board_Profile profile = profile_from_environment();
    std::lock_guard<std::mutex> lock(store().mutex);
    store().profile = profile;
    store().loaded = true;
}

std::string winx::board_profile_text(const Board_Profile& profile) {
    static const char* const directdraw_words[] = {"ok", "create_fails", "cooperative_fails",
                                                   "query_fails"};
    std::ostringstream text;
    if (profile.video_memory) text << "video_memory=" << *profile.video_memory << ' ';
    text << "boards=" << profile.boards << ' ';
    if (profile.free_video_memory) text << "free_video_memory=" << *profile.free_video_memory << ' ';
    text << "directdraw=" << directdraw_words[int(profile.directdraw)]
         << " escapes=" << (profile.escapes_answered ? "answered" : "silent");
    return text.str();
}
