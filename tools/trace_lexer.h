// The words of a trace line, and the scalar values a word can spell
// (integers, reals, colours). Statements and their grammar are the parser's.
//
// A line is split at blanks (spaces and tabs). A word that starts with a
// double quote is a quoted string up to the closing quote, with \" and \\ as
// its only escapes. `#` starts a comment when it begins the line's first word,
// or begins a later word that is not a colour of 6 or 8 hex digits (so
// `color #ff0000 #red` is a colour and a comment).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/types.h"

struct Trace_Word {
    std::string text;  // quotes removed and escapes resolved for a quoted word
    int column = 1;    // 1-based column of the word's first character
    bool quoted = false;
};

// Where a trace cannot be read, and what was expected there.
struct Read_Error {
    int line = 0;
    int column = 0;
    std::string expected;  // "expected ..."
};

// The words of one line (none for a blank or comment line). Throws Read_Error
// for an unterminated string or an unknown escape.
std::vector<Trace_Word> split_trace_line(const std::string& line, int line_number);

// Decimal or 0x hexadecimal, with an optional sign; nullopt when the word is
// not one or does not fit 64 bits.
std::optional<int64_t> parse_trace_integer(std::string_view word);
// A decimal float, an integer as above, nan, inf or -inf.
std::optional<float> parse_trace_real(std::string_view word);
// #RRGGBB (alpha FF) or #RRGGBBAA; *digits receives 6 or 8.
std::optional<HT_RGB32> parse_trace_color(std::string_view word, int* digits = nullptr);
