// Numbers for trace statements through std::to_chars, which neither follows
// the locale nor allocates.
#include "host/recording/number_text.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

const char HEX_DIGITS[] = "0123456789abcdef";

void append_hex_byte(std::string& line, unsigned value) {
    line += HEX_DIGITS[value >> 4 & 15];
    line += HEX_DIGITS[value & 15];
}

}  // namespace

void append_integer(std::string& line, int64_t value) {
    char text[24];
    const std::to_chars_result written = std::to_chars(text, text + sizeof text, value);
    line.append(text, written.ptr);
}

void append_float(std::string& line, float value) {
    if (std::isnan(value)) {
        line += "nan";
        return;
    }
    char text[32];
    const std::to_chars_result written = std::to_chars(text, text + sizeof text, value);
    line.append(text, written.ptr);
}

void append_color(std::string& line, HT_RGB32 color) {
    char text[9] = {'#'};
    const unsigned bytes[4] = {HT_Red(color), HT_Green(color), HT_Blue(color), HT_Alpha(color)};
    for (int i = 0; i < 4; ++i) {
        text[1 + 2 * i] = HEX_DIGITS[bytes[i] >> 4];
        text[2 + 2 * i] = HEX_DIGITS[bytes[i] & 15];
    }
    line.append(text, sizeof text);
}

// The three coordinates written into one piece and appended at once: points
// are most of a trace.
void append_point(std::string& line, const HT_Point3D& point) {
    char text[3 * 32];
    char* end = text;
    const float coordinates[3] = {point.x, point.y, point.z};
    for (int i = 0; i < 3; ++i) {
        if (i > 0) *end++ = ',';
        if (std::isnan(coordinates[i])) {
            std::memcpy(end, "nan", 3);
            end += 3;
        } else {
            end = std::to_chars(end, text + sizeof text, coordinates[i]).ptr;
        }
    }
    line.append(text, end);
}

void append_hex_word(std::string& line, uint32_t word) {
    for (int shift = 24; shift >= 0; shift -= 8) append_hex_byte(line, word >> shift & 0xFF);
}

void append_quoted(std::string& line, const std::string& text) {
    line += '"';
    for (char c : text) {
        if (c == '"' || c == '\\') line += '\\';
        line += c;
    }
    line += '"';
}
