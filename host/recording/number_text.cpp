// Numbers for trace statements through std::to_chars, which neither follows
// the locale nor allocates.
#include "host/recording/number_text.h"

#include <charconv>
#include <cmath>

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
    line += '#';
    append_hex_byte(line, HT_Red(color));
    append_hex_byte(line, HT_Green(color));
    append_hex_byte(line, HT_Blue(color));
    append_hex_byte(line, HT_Alpha(color));
}

void append_point(std::string& line, const HT_Point3D& point) {
    append_float(line, point.x);
    line += ',';
    append_float(line, point.y);
    line += ',';
    append_float(line, point.z);
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
