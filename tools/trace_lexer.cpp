// Splitting trace lines into words and reading scalar values from words.
#include "tools/trace_lexer.h"

#include <cctype>
#include <cstdlib>

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool is_hex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

int hex_value(char c) {
    if (is_digit(c)) return c - '0';
    return std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
}

// True when the word at line[start] is # and 6 or 8 hex digits.
bool is_colour_word(const std::string& line, size_t start) {
    size_t end = start + 1;
    while (end < line.size() && is_hex(line[end])) ++end;
    size_t digits = end - start - 1;
    return (digits == 6 || digits == 8) && (end == line.size() || is_blank(line[end]));
}

// Reads the quoted string that starts at line[start]; returns the index just
// past the closing quote.
size_t read_quoted(const std::string& line, size_t start, int line_number, std::string* text) {
    size_t i = start + 1;
    while (i < line.size()) {
        char c = line[i];
        if (c == '"') return i + 1;
        if (c == '\\') {
            if (i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) {
                text->push_back(line[i + 1]);
                i += 2;
                continue;
            }
            throw Read_Error{line_number, int(i) + 1, "expected \\\" or \\\\ after a backslash"};
        }
        text->push_back(c);
        ++i;
    }
    throw Read_Error{line_number, int(line.size()) + 1, "expected a closing quote"};
}

// A decimal float in the plain form: sign, digits with an optional point, and
// an optional exponent.
bool is_decimal_real(std::string_view word) {
    size_t i = 0;
    if (i < word.size() && (word[i] == '+' || word[i] == '-')) ++i;
    size_t digits = 0;
    while (i < word.size() && is_digit(word[i])) ++i, ++digits;
    if (i < word.size() && word[i] == '.') {
        ++i;
        while (i < word.size() && is_digit(word[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < word.size() && (word[i] == 'e' || word[i] == 'E')) {
        ++i;
        if (i < word.size() && (word[i] == '+' || word[i] == '-')) ++i;
        size_t exponent_digits = 0;
        while (i < word.size() && is_digit(word[i])) ++i, ++exponent_digits;
        if (exponent_digits == 0) return false;
    }
    return i == word.size();
}

}  // namespace

std::vector<Trace_Word> split_trace_line(const std::string& line, int line_number) {
    std::vector<Trace_Word> words;
    size_t i = 0;
    while (i < line.size()) {
        if (is_blank(line[i])) {
            ++i;
            continue;
        }
        Trace_Word word;
        word.column = int(i) + 1;
        if (line[i] == '#' && (words.empty() || !is_colour_word(line, i))) break;
        if (line[i] == '"') {
            word.quoted = true;
            i = read_quoted(line, i, line_number, &word.text);
            if (i < line.size() && !is_blank(line[i]))
                throw Read_Error{line_number, int(i) + 1, "expected a blank after the closing quote"};
        } else {
            size_t end = i;
            while (end < line.size() && !is_blank(line[end])) ++end;
            word.text = line.substr(i, end - i);
            i = end;
        }
        words.push_back(std::move(word));
    }
    return words;
}

std::optional<int64_t> parse_trace_integer(std::string_view word) {
    bool negative = false;
    size_t i = 0;
    if (i < word.size() && (word[i] == '+' || word[i] == '-')) negative = word[i++] == '-';
    int base = 10;
    if (word.size() - i > 2 && word[i] == '0' && (word[i + 1] == 'x' || word[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == word.size()) return std::nullopt;
    uint64_t magnitude = 0;
    for (; i < word.size(); ++i) {
        char c = word[i];
        if (base == 10 ? !is_digit(c) : !is_hex(c)) return std::nullopt;
        uint64_t next = magnitude * uint64_t(base) + uint64_t(hex_value(c));
        if (next / uint64_t(base) != magnitude || next > (uint64_t(1) << 63)) return std::nullopt;
        magnitude = next;
    }
    if (!negative && magnitude > uint64_t(INT64_MAX)) return std::nullopt;
    return negative ? int64_t(0 - magnitude) : int64_t(magnitude);
}

std::optional<float> parse_trace_real(std::string_view word) {
    if (word == "nan") return __builtin_nanf("");
    if (word == "inf") return __builtin_inff();
    if (word == "-inf") return -__builtin_inff();
    if (!is_decimal_real(word)) {
        std::optional<int64_t> integer = parse_trace_integer(word);
        if (!integer) return std::nullopt;
        return float(*integer);
    }
    std::string copy(word);
    // Out-of-range values become infinities or zeros, which traces may want.
    return std::strtof(copy.c_str(), nullptr);
}

std::optional<HT_RGB32> parse_trace_color(std::string_view word, int* digits) {
    if (word.empty() || word[0] != '#') return std::nullopt;
    size_t count = word.size() - 1;
    if (count != 6 && count != 8) return std::nullopt;
    uint32_t channels[4] = {0, 0, 0, 0xFF};
    for (size_t c = 0; c < count / 2; ++c) {
        char high = word[1 + 2 * c], low = word[2 + 2 * c];
        if (!is_hex(high) || !is_hex(low)) return std::nullopt;
        channels[c] = uint32_t(hex_value(high) * 16 + hex_value(low));
    }
    if (digits != nullptr) *digits = int(count);
    return HT_Make_RGB32(uint8_t(channels[0]), uint8_t(channels[1]), uint8_t(channels[2]),
                         uint8_t(channels[3]));
}
