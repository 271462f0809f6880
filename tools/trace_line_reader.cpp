// The word reader of one trace line.
#include "tools/trace_line_reader.h"

namespace {

const char* const VERTEX_FORMS[] = {"a point x,y,z", "a coloured point x,y,z@#RRGGBB",
                                    "a textured point x,y,z@#RRGGBB/s,t"};

bool is_option(const Trace_Word& word) { return !word.quoted && word.text.find('=') != std::string::npos; }

std::string describe_options(const std::set<std::string>& keys, const std::set<std::string>& flags) {
    std::string list;
    for (const std::string& key : keys) list += (list.empty() ? "" : ", ") + key + "=";
    for (const std::string& flag : flags) list += (list.empty() ? "" : ", ") + flag;
    return list.empty() ? "the end of the statement" : "one of the options " + list;
}

bool ends_with(std::string_view text, std::string_view suffix) {
    return text.size() > suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

}  // namespace

std::vector<Piece> split_piece(Piece piece, char separator) {
    std::vector<Piece> parts;
    size_t start = 0;
    for (;;) {
        size_t end = piece.text.find(separator, start);
        size_t stop = end == std::string_view::npos ? piece.text.size() : end;
        parts.push_back({piece.text.substr(start, stop - start), piece.column + int(start)});
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

Line_Reader::Line_Reader(int line, std::vector<Trace_Word> words) : line_(line), words_(std::move(words)) {
    const Trace_Word& last = words_.back();
    end_column_ = last.column + int(last.text.size()) + (last.quoted ? 2 : 0);
}

void Line_Reader::fail(int column, const std::string& expected) const {
    throw Read_Error{line_, column, "expected " + expected};
}

bool Line_Reader::has_positional() const { return next_ < words_.size() && !is_option(words_[next_]); }

bool Line_Reader::next_is(const char* bare) const {
    return next_ < words_.size() && !words_[next_].quoted && words_[next_].text == bare;
}

Piece Line_Reader::positional(const std::string& what) {
    const Trace_Word& word = positional_word(what);
    return {word.text, word.column};
}

const Trace_Word& Line_Reader::positional_word(const std::string& what) {
    if (!has_positional()) fail(next_column(), what);
    return words_[next_++];
}

int64_t Line_Reader::integer(Piece piece, const std::string& what, int64_t low, int64_t high) const {
    std::optional<int64_t> value = parse_trace_integer(piece.text);
    if (!value || *value < low || *value > high)
        fail(piece.column, what + " (an integer from " + std::to_string(low) + " to " + std::to_string(high) + ")");
    return *value;
}

float Line_Reader::real(Piece piece, const std::string& what) const {
    std::optional<float> value = parse_trace_real(piece.text);
    if (!value) fail(piece.column, what + " (a number)");
    return *value;
}

HT_RGB32 Line_Reader::color(Piece piece, bool alpha_allowed) const {
    int digits = 0;
    std::optional<HT_RGB32> value = parse_trace_color(piece.text, &digits);
    if (!value || (!alpha_allowed && digits != 6))
        fail(piece.column, alpha_allowed ? "a colour #RRGGBB or #RRGGBBAA" : "a colour #RRGGBB");
    return *value;
}

Trace_Vertex Line_Reader::vertex(Piece piece, Vertex_Form form) const {
    const std::string expected = VERTEX_FORMS[int(form)];
    Trace_Vertex vertex;
    size_t at = piece.text.find('@');
    Piece place{piece.text.substr(0, at), piece.column};
    std::vector<Piece> xyz = split_piece(place, ',');
    if (xyz.size() != 3) fail(piece.column, expected);
    vertex.point = {real(xyz[0], "x"), real(xyz[1], "y"), real(xyz[2], "z")};
    int after_place = piece.column + int(place.text.size());
    if (form == Vertex_Form::plain) {
        if (at != std::string_view::npos) fail(after_place, "the end of " + expected);
        return vertex;
    }
    if (at == std::string_view::npos) fail(after_place, "@ and a colour: " + expected);
    Piece rest{piece.text.substr(at + 1), piece.column + int(at) + 1};
    size_t slash = rest.text.find('/');
    if (form == Vertex_Form::colored) {
        if (slash != std::string_view::npos) fail(rest.column + int(slash), "the end of " + expected);
        vertex.color = color(rest, true);
        return vertex;
    }
    if (slash == std::string_view::npos) fail(rest.column + int(rest.text.size()), "/s,t: " + expected);
    vertex.color = color({rest.text.substr(0, slash), rest.column}, true);
    std::vector<Piece> st = split_piece({rest.text.substr(slash + 1), rest.column + int(slash) + 1}, ',');
    if (st.size() != 2) fail(rest.column + int(slash) + 1, "s,t");
    vertex.s = real(st[0], "s");
    vertex.t = real(st[1], "t");
    return vertex;
}

Corner_Pair Line_Reader::corners() {
    Corner_Pair pair;
    pair.start = vertex(positional("the start corner x,y,z"), Vertex_Form::plain).point;
    pair.end = vertex(positional("the end corner x,y,z"), Vertex_Form::plain).point;
    return pair;
}

Image_Source Line_Reader::image_source(Piece piece) const {
    Image_Source source;
    const char* expected = "an image FILE.png, solid:WxH:#RRGGBBAA or checker:WxH:CELL:#C1:#C2";
    std::vector<Piece> parts = split_piece(piece, ':');
    if (parts[0].text == "solid" || parts[0].text == "checker") {
        bool checker = parts[0].text == "checker";
        source.kind = checker ? Image_Source::Kind::checker : Image_Source::Kind::solid;
        if (parts.size() != (checker ? 5u : 3u)) fail(piece.column, expected);
        std::vector<Piece> size = split_piece(parts[1], 'x');
        if (size.size() != 2) fail(parts[1].column, "a size WxH");
        source.width = int(integer(size[0], "a width", 0, MAX_IMAGE_SIDE));
        source.height = int(integer(size[1], "a height", 0, MAX_IMAGE_SIDE));
        size_t next = 2;
        if (checker) source.cell = int(integer(parts[next++], "a cell size", 1, MAX_IMAGE_SIDE));
        source.first_color = color(parts[next++], true);
        if (checker) source.second_color = color(parts[next], true);
        return source;
    }
    if (!ends_with(piece.text, ".png")) fail(piece.column, expected);
    source.kind = Image_Source::Kind::png_file;
    source.file = std::string(piece.text);
    return source;
}

void Line_Reader::options(const std::set<std::string>& keys, const std::set<std::string>& flags) {
    for (; next_ < words_.size(); ++next_) {
        const Trace_Word& word = words_[next_];
        size_t equals = word.quoted ? std::string::npos : word.text.find('=');
        std::string key = equals == std::string::npos ? word.text : word.text.substr(0, equals);
        bool known = equals == std::string::npos ? !word.quoted && flags.count(key) != 0 : keys.count(key) != 0;
        if (!known) fail(word.column, describe_options(keys, flags));
        if (options_.count(key) != 0) fail(word.column, "each option once, but " + key + " came again");
        std::string_view text(word.text);
        if (equals == std::string::npos)
            options_[key] = {text.substr(text.size()), word.column + int(text.size())};
        else
            options_[key] = {text.substr(equals + 1), word.column + int(equals) + 1};
    }
}

std::optional<Piece> Line_Reader::option(const std::string& key) const {
    auto found = options_.find(key);
    if (found == options_.end()) return std::nullopt;
    return found->second;
}

Piece Line_Reader::required_option(const std::string& key) const {
    std::optional<Piece> value = option(key);
    if (!value) fail(next_column(), key + "=");
    return *value;
}

void Line_Reader::finish() const {
    if (next_ < words_.size()) fail(words_[next_].column, "the end of the statement");
}

int Line_Reader::next_column() const { return next_ < words_.size() ? words_[next_].column : end_column_; }
