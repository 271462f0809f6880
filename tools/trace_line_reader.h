// Reading the words of one trace line: positional words, key=value options
// and flags, and the values they spell (integers in a range, reals, colours,
// points, image sources). Every mistake is thrown as a Read_Error naming the
// column and what was expected there. The statements' grammar is in
// trace_parser.cpp.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "tools/trace_lexer.h"
#include "tools/trace_statements.h"

// A piece of a line: a word, or part of one (a point's coordinate, an
// option's value), with the column where it starts.
struct Piece {
    std::string_view text;
    int column;
};

constexpr int64_t INT32_LOW = INT32_MIN;
constexpr int64_t INT32_HIGH = INT32_MAX;
// The largest width or height of an image a trace describes.
constexpr int MAX_IMAGE_SIDE = 8192;

// The parts of a piece between separators (one part when there is none).
std::vector<Piece> split_piece(Piece piece, char separator);

class Line_Reader {
public:
    Line_Reader(int line, std::vector<Trace_Word> words);

    [[noreturn]] void fail(int column, const std::string& expected) const;

    // The statement's first word.
    const Trace_Word& keyword() const { return words_[0]; }

    // True when the next word is a positional one (not key=value).
    bool has_positional() const;
    bool next_is(const char* bare) const;
    Piece positional(const std::string& what);
    const Trace_Word& positional_word(const std::string& what);
    void skip() { ++next_; }

    int64_t integer(Piece piece, const std::string& what, int64_t low, int64_t high) const;
    float real(Piece piece, const std::string& what) const;
    HT_RGB32 color(Piece piece, bool alpha_allowed) const;
    enum class Vertex_Form { plain, colored, textured };
    Trace_Vertex vertex(Piece piece, Vertex_Form form) const;
    // The next two positional words as the start and end corners.
    Corner_Pair corners();
    Image_Source image_source(Piece piece) const;

    // Reads the remaining words as options; `keys` are the allowed keys
    // (without '='), `flags` the allowed bare words.
    void options(const std::set<std::string>& keys, const std::set<std::string>& flags);
    std::optional<Piece> option(const std::string& key) const;
    bool flag(const std::string& key) const { return options_.count(key) != 0; }
    Piece required_option(const std::string& key) const;
    bool any_option() const { return !options_.empty(); }

    // Fails when words are left over.
    void finish() const;
    // The column of the next word, or just past the last one.
    int next_column() const;

private:
    int line_;
    int end_column_ = 1;
    std::vector<Trace_Word> words_;
    size_t next_ = 1;
    std::map<std::string, Piece> options_;
};
