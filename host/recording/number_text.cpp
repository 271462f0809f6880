// Numbers for trace statements through std::to_chars, which neither follows
// the locale nor allocates; whole-number floats take its integer conversion.
#include "host/recording/number_text.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace {

const char HEX_DIGITS[] = "0123456789abcdef";

void append_hex_byte(std::string& line, unsigned value) {
    line += HEX_DIGITS[value >> 4 & 15];
    line += HEX_DIGITS[value & 15];
}

// Device z and many coordinates are whole numbers: those that every float
// near them is apart from by at least 1 are written through the integer
// conversion, which is several times faster and spells them as the float
// conversion does (the digits of the whole number) unless scientific
// notation is shorter, which is left to the float conversion. Returns the
// end of the text, or nullptr when the value is not such a number.
char* whole_number_text(float value, char* text) {
    constexpr float EXACT_WHOLE_NUMBERS = 16777216.0f;  // 2^24
    if (!(std::fabs(value) < EXACT_WHOLE_NUMBERS) || value == 0.0f) return nullptr;
    const int32_t whole = int32_t(value);
    if (float(whole) != value) return nullptr;
    char* end = std::to_chars(text, text + 16, whole).ptr;
    const char* first_digit = text + (whole < 0 ? 1 : 0);
    const std::ptrdiff_t digits = end - first_digit;
    std::ptrdiff_t significant = digits;
    while (significant > 1 && first_digit[significant - 1] == '0') --significant;
    // d[.ddd]e+XX
    const std::ptrdiff_t scientific = significant + (significant > 1 ? 1 : 0) + 4;
    return scientific < digits ? nullptr : end;
}

char* float_text(float value, char* text, char* text_end) {
    if (std::isnan(value)) {
        std::memcpy(text, "nan", 3);
        return text + 3;
    }
    if (char* end = whole_number_text(value, text)) return end;
    return std::to_chars(text, text_end, value).ptr;
}

}  // namespace

void append_integer(std::string& line, int64_t value) {
    char text[24];
    const std::to_chars_result written = std::to_chars(text, text + sizeof text, value);
    line.append(text, written.ptr);
}

void append_float(std::string& line, float value) {
    char text[32];
    line.append(text, float_text(value, text, text + sizeof text));
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
        end = float_text(coordinates[i], end, text + sizeof text);
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
