// The grammar of each trace statement: positional words first, then
// key=value options in any order. Errors are thrown as Read_Error by the line
// reader; parse_trace catches them for a whole text, the Trace_Reader for a
// file.
#include "tools/trace_parser.h"

#include <functional>
#include <map>
#include <sstream>

#include "tools/trace_line_reader.h"

namespace {

using Vertex_Form = Line_Reader::Vertex_Form;

int32_t int32_option(const Line_Reader& in, const std::string& key, const std::string& what) {
    return int32_t(in.integer(*in.option(key), what, INT32_LOW, INT32_HIGH));
}

std::vector<int32_t> int32_list(const Line_Reader& in, Piece piece, const std::string& what) {
    std::vector<int32_t> values;
    if (piece.text.empty()) return values;
    for (Piece part : split_piece(piece, ',')) values.push_back(int32_t(in.integer(part, what, INT32_LOW, INT32_HIGH)));
    return values;
}

Statement_Body parse_screen(Line_Reader& in) {
    Screen_Statement s{};
    s.width = int(in.integer(in.positional("a screen width"), "a screen width", 1, 16384));
    s.height = int(in.integer(in.positional("a screen height"), "a screen height", 1, 16384));
    Piece depth = in.positional("a screen depth");
    s.depth = int(in.integer(depth, "a screen depth", 1, 64));
    if (s.depth != 8 && s.depth != 16 && s.depth != 24) in.fail(depth.column, "a screen depth of 8, 16 or 24");
    in.finish();
    return s;
}

Statement_Body parse_board(Line_Reader& in) {
    Board_Statement s;
    in.options({"video_memory", "boards", "free_video_memory", "directdraw", "escapes"}, {});
    if (!in.any_option()) in.fail(in.next_column(), "at least one board setting");
    winx::Board_Profile& profile = s.profile;
    if (auto v = in.option("video_memory"))
        profile.video_memory = uint32_t(in.integer(*v, "video memory in bytes", 0, UINT32_MAX));
    if (auto v = in.option("free_video_memory"))
        profile.free_video_memory = uint32_t(in.integer(*v, "free video memory in bytes", 0, UINT32_MAX));
    if (auto v = in.option("boards")) profile.boards = uint32_t(in.integer(*v, "a number of boards", 0, 64));
    if (auto v = in.option("directdraw")) {
        using Behaviour = winx::DirectDraw_Behaviour;
        if (v->text == "ok") profile.directdraw = Behaviour::ok;
        else if (v->text == "create_fails") profile.directdraw = Behaviour::create_fails;
        else if (v->text == "cooperative_fails") profile.directdraw = Behaviour::cooperative_fails;
        else if (v->text == "query_fails") profile.directdraw = Behaviour::query_fails;
        else in.fail(v->column, "ok, create_fails, cooperative_fails or query_fails");
    }
    if (auto v = in.option("escapes")) {
        if (v->text != "answered" && v->text != "silent") in.fail(v->column, "answered or silent");
        profile.escapes_answered = v->text == "answered";
    }
    in.finish();
    return s;
}

Statement_Body parse_registry(Line_Reader& in) {
    Registry_Statement s;
    const Trace_Word& name = in.positional_word("a value name or none");
    if (!name.quoted && name.text == "none") {
        s.action = Registry_Statement::Action::remove_key;
        in.finish();
        return s;
    }
    s.value_name = name.text;
    Piece value = in.positional("a DWORD value or absent");
    if (value.text == "absent") {
        s.action = Registry_Statement::Action::remove_value;
    } else {
        s.value = uint32_t(in.integer(value, "a DWORD value or absent", 0, UINT32_MAX));
    }
    in.finish();
    return s;
}

Statement_Body parse_window(Line_Reader& in) {
    Window_Statement s{};
    s.width = int(in.integer(in.positional("a window width"), "a window width", 0, 16384));
    s.height = int(in.integer(in.positional("a window height"), "a window height", 0, 16384));
    in.finish();
    return s;
}

Statement_Body parse_option(Line_Reader& in) {
    Option_Statement s;
    s.name = in.positional_word("an option name").text;
    Piece value = in.positional("an option value (on, off or a number)");
    if (value.text == "on" || value.text == "off") {
        s.kind = Option_Statement::Kind::boolean;
        s.integer = value.text == "on" ? 1 : 0;
    } else if (parse_trace_integer(value.text)) {
        s.kind = Option_Statement::Kind::integer;
        s.integer = int32_t(in.integer(value, "an option value", INT32_LOW, INT32_HIGH));
    } else {
        s.kind = Option_Statement::Kind::real;
        s.real = in.real(value, "an option value (on, off or a number)");
    }
    in.finish();
    return s;
}

Statement_Body parse_device(Line_Reader& in) {
    Device_Statement s;
    s.name = in.has_positional() ? in.positional_word("a device name").text : "main";
    in.options({"expect"}, {});
    if (auto expect = in.option("expect")) {
        if (expect->text != "null") in.fail(expect->column, "expect=null");
        s.expect_null = true;
    }
    return s;
}

Statement_Body parse_use(Line_Reader& in) {
    Use_Statement s{in.positional_word("a device name").text};
    in.finish();
    return s;
}

Statement_Body parse_destroy(Line_Reader& in) {
    Destroy_Statement s;
    if (in.has_positional()) s.name = in.positional_word("a device name").text;
    in.finish();
    return s;
}

Statement_Body parse_color(Line_Reader& in) {
    Color_Statement s{in.color(in.positional("a colour #RRGGBB or #RRGGBBAA"), true)};
    in.finish();
    return s;
}

Statement_Body parse_line(Line_Reader& in) {
    in.options({"pattern", "style", "weight", "dashes"}, {});
    if (!in.any_option()) in.fail(in.next_column(), "pattern=, style=, weight= or dashes=");
    Line_Statement s;
    if (in.option("pattern")) s.pattern = int32_option(in, "pattern", "a line pattern");
    if (in.option("weight")) s.weight = int32_option(in, "weight", "a line weight");
    if (auto style = in.option("style")) {
        std::vector<int32_t> words = int32_list(in, *style, "a style word");
        if (words.size() != 2) in.fail(style->column, "two style words A,B");
        s.cap_style = words[0];
        s.join_style = words[1];
    }
    if (auto dashes = in.option("dashes")) s.dashes = int32_list(in, *dashes, "a dash length");
    return s;
}

Statement_Body parse_face(Line_Reader& in) {
    in.options({"pattern", "user"}, {});
    if (!in.any_option()) in.fail(in.next_column(), "pattern= or user=");
    Face_Statement s;
    if (in.option("pattern")) s.pattern = int32_option(in, "pattern", "a face pattern");
    if (auto user = in.option("user")) {
        if (user->text.size() != 256) in.fail(user->column, "256 hex digits (32 rows of 8)");
        std::vector<uint32_t> rows;
        for (int row = 0; row < 32; ++row) {
            Piece digits{user->text.substr(size_t(row) * 8, 8), user->column + row * 8};
            std::optional<int64_t> value = parse_trace_integer("0x" + std::string(digits.text));
            if (!value) in.fail(digits.column, "8 hex digits for row " + std::to_string(row));
            rows.push_back(uint32_t(*value));
        }
        s.user_rows = rows;
    }
    return s;
}

int32_t wrap_mode(const Line_Reader& in, Piece piece) {
    static const std::map<std::string_view, int32_t> names = {
        {"clamp", 0}, {"mirrored_repeat", 1}, {"clamp_to_edge", 2}, {"repeat", 3}, {"decal", 4}};
    auto found = names.find(piece.text);
    if (found != names.end()) return found->second;
    std::optional<int64_t> number = parse_trace_integer(piece.text);
    if (!number || *number < INT32_LOW || *number > INT32_HIGH)
        in.fail(piece.column, "a wrap mode: a number, or clamp, mirrored_repeat, clamp_to_edge, repeat or decal");
    return int32_t(*number);
}

Statement_Body parse_texture(Line_Reader& in) {
    Texture_Statement s;
    if (in.next_is("none")) {
        in.skip();
        s.none = true;
        in.options({"further"}, {});
        if (in.option("further")) s.further = int32_option(in, "further", "a further value");
        return s;
    }
    in.options({"id", "wrap", "image", "further"}, {});
    s.id = int32_t(in.integer(in.required_option("id"), "a texture id", INT32_LOW, INT32_HIGH));
    s.image = in.image_source(in.required_option("image"));
    if (auto wrap = in.option("wrap")) {
        std::vector<Piece> modes = split_piece(*wrap, ',');
        if (modes.size() != 2) in.fail(wrap->column, "two wrap modes S,T");
        s.wrap_s = wrap_mode(in, modes[0]);
        s.wrap_t = wrap_mode(in, modes[1]);
    }
    if (in.option("further")) s.further = int32_option(in, "further", "a further value");
    return s;
}

Statement_Body parse_primitive(Line_Reader& in, Primitive_Statement::Kind kind) {
    using Kind = Primitive_Statement::Kind;
    Primitive_Statement s;
    s.kind = kind;
    Vertex_Form form = Vertex_Form::plain;
    if (kind == Kind::colorized_dot || kind == Kind::colorized_polyline || kind == Kind::gouraud_polyline ||
        kind == Kind::colorized_polytriangle || kind == Kind::gouraud_polytriangle)
        form = Vertex_Form::colored;
    if (kind == Kind::textured_polytriangle) form = Vertex_Form::textured;
    if ((kind == Kind::colorized_polyline || kind == Kind::colorized_polytriangle) && in.next_is("one_color")) {
        in.skip();
        s.one_color = true;
    }
    static const char* const forms[] = {"a point x,y,z", "a coloured point x,y,z@#RRGGBB",
                                        "a textured point x,y,z@#RRGGBB/s,t"};
    if (kind == Kind::dot || kind == Kind::colorized_dot) {
        s.vertices.push_back(in.vertex(in.positional(forms[int(form)]), form));
    } else {
        while (in.has_positional()) s.vertices.push_back(in.vertex(in.positional(forms[int(form)]), form));
    }
    if (kind != Kind::textured_polytriangle) {
        in.finish();
        return s;
    }
    in.options({"values"}, {});
    if (auto values = in.option("values")) {
        for (Piece part : split_piece(*values, ',')) s.vertex_values.push_back(in.real(part, "a vertex value"));
        if (s.vertex_values.size() != s.vertices.size())
            in.fail(values->column, "one vertex value for each of the " + std::to_string(s.vertices.size()) +
                                        " points");
    }
    return s;
}

Statement_Body parse_rectangle(Line_Reader& in, bool prepare) {
    Rectangle_Statement s{};
    s.prepare = prepare;
    int32_t* sides[] = {&s.left, &s.right, &s.bottom, &s.top};
    const char* names[] = {"left", "right", "bottom", "top"};
    for (int i = 0; i < 4; ++i)
        *sides[i] = int32_t(in.integer(in.positional(names[i]), names[i], INT32_LOW, INT32_HIGH));
    in.finish();
    return s;
}

Statement_Body parse_image(Line_Reader& in) {
    Image_Statement s;
    s.corners = in.corners();
    s.source = in.image_source(in.positional("an image source"));
    in.options({"row_step"}, {"bottom_up"});
    if (in.option("row_step")) s.row_step = int32_option(in, "row_step", "a row step in bytes");
    s.bottom_up = in.flag("bottom_up");
    return s;
}

Statement_Body parse_write_depth(Line_Reader& in) {
    Write_Depth_Statement s;
    s.corners = in.corners();
    const Piece value = in.positional("a depth value");
    if (value.text.size() > 4 && value.text.substr(value.text.size() - 4) == ".pgm")
        s.values_file = std::string(value.text);
    else
        s.value = uint16_t(in.integer(value, "a depth value", 0, 65535));
    in.options({"row_step"}, {});
    if (in.option("row_step")) s.row_step = int32_option(in, "row_step", "a row step in bytes");
    return s;
}

Statement_Body parse_read(Line_Reader& in, bool depth) {
    Read_Statement s;
    s.depth = depth;
    s.corners = in.corners();
    in.options({"save"}, {});
    if (auto save = in.option("save")) {
        const std::string_view suffix = depth ? ".pgm" : ".png";
        if (save->text.size() <= suffix.size() || save->text.substr(save->text.size() - suffix.size()) != suffix)
            in.fail(save->column, depth ? "a file name ending in .pgm" : "a file name ending in .png");
        s.save = std::string(save->text);
    }
    return s;
}

Statement_Body parse_restore(Line_Reader& in, bool depth) {
    Restore_Statement s;
    s.depth = depth;
    s.corners = in.corners();
    in.finish();
    return s;
}

Statement_Body parse_snapshot(Line_Reader& in) {
    Snapshot_Statement s;
    if (in.has_positional()) {
        const Trace_Word& file = in.positional_word("a file name");
        if (file.text.size() <= 4 || file.text.substr(file.text.size() - 4) != ".png")
            in.fail(file.column, "a file name ending in .png");
        s.file = file.text;
    }
    in.finish();
    return s;
}

int tolerance(Line_Reader& in, int high) {
    in.options({"tol"}, {});
    if (auto tol = in.option("tol")) return int(in.integer(*tol, "a tolerance", 0, high));
    return 0;
}

Statement_Body parse_expect(Line_Reader& in) {
    Piece kind = in.positional("pixel, read, depth, image, message or no_message");
    auto coordinate = [&in](const char* name) {
        return int(in.integer(in.positional(name), name, INT32_LOW, INT32_HIGH));
    };
    if (kind.text == "pixel" || kind.text == "read") {
        bool pixel = kind.text == "pixel";
        int x = coordinate("x");
        int y = coordinate("y");
        HT_RGB32 color = in.color(in.positional(pixel ? "a colour #RRGGBB" : "a colour #RRGGBBAA"), !pixel);
        int tol = tolerance(in, 255);
        if (pixel) return Expect_Pixel_Statement{x, y, color, tol};
        return Expect_Read_Statement{x, y, color, tol};
    }
    if (kind.text == "depth") {
        int x = coordinate("x");
        int y = coordinate("y");
        int value = int(in.integer(in.positional("a depth value"), "a depth value", 0, 65535));
        return Expect_Depth_Statement{x, y, value, tolerance(in, 65535)};
    }
    if (kind.text == "image") {
        Expect_Image_Statement s{};
        s.width = coordinate("a width");
        s.height = coordinate("a height");
        s.format = coordinate("an image format");
        s.row_bytes = coordinate("row bytes");
        in.finish();
        return s;
    }
    if (kind.text == "message") {
        Expect_Message_Statement s;
        s.caption = in.positional_word("a caption").text;
        s.text = in.positional_word("a message text").text;
        in.finish();
        return s;
    }
    if (kind.text == "no_message") {
        in.finish();
        return Expect_No_Message_Statement{};
    }
    in.fail(kind.column, "pixel, read, depth, image, message or no_message");
}

using Parse_Function = std::function<Statement_Body(Line_Reader&)>;

const std::map<std::string, Parse_Function>& statement_table() {
    using Kind = Primitive_Statement::Kind;
    auto primitive = [](Kind kind) { return [kind](Line_Reader& in) { return parse_primitive(in, kind); }; };
    auto bare = [](Statement_Body body) {
        return [body](Line_Reader& in) {
            in.finish();
            return body;
        };
    };
    static const std::map<std::string, Parse_Function> table = {
        {"screen", parse_screen},
        {"board", parse_board},
        {"registry", parse_registry},
        {"window", parse_window},
        {"option", parse_option},
        {"device", parse_device},
        {"use", parse_use},
        {"start", bare(Start_Statement{})},
        {"show", bare(Show_Statement{})},
        {"destroy", parse_destroy},
        {"color", parse_color},
        {"line", parse_line},
        {"face", parse_face},
        {"texture", parse_texture},
        {"dot", primitive(Kind::dot)},
        {"colorized_dot", primitive(Kind::colorized_dot)},
        {"polyline", primitive(Kind::polyline)},
        {"colorized_polyline", primitive(Kind::colorized_polyline)},
        {"gouraud_polyline", primitive(Kind::gouraud_polyline)},
        {"polytriangle", primitive(Kind::polytriangle)},
        {"colorized_polytriangle", primitive(Kind::colorized_polytriangle)},
        {"gouraud_polytriangle", primitive(Kind::gouraud_polytriangle)},
        {"textured_polytriangle", primitive(Kind::textured_polytriangle)},
        {"rectangle", [](Line_Reader& in) { return parse_rectangle(in, false); }},
        {"prepare_rectangle", [](Line_Reader& in) { return parse_rectangle(in, true); }},
        {"image", parse_image},
        {"write_depth", parse_write_depth},
        {"read_color", [](Line_Reader& in) { return parse_read(in, false); }},
        {"read_depth", [](Line_Reader& in) { return parse_read(in, true); }},
        {"redraw", [](Line_Reader& in) { return parse_restore(in, false); }},
        {"restore_depth", [](Line_Reader& in) { return parse_restore(in, true); }},
        {"snapshot", parse_snapshot},
        {"expect", parse_expect},
    };
    return table;
}

}  // namespace

bool parse_trace_line(const std::string& line, int number, Statement* statement) {
    std::vector<Trace_Word> words = split_trace_line(line, number);
    if (words.empty()) return false;
    Line_Reader in(number, words);
    const Trace_Word& keyword = in.keyword();
    auto found = statement_table().find(keyword.text);
    if (keyword.quoted || found == statement_table().end())
        in.fail(keyword.column, "a statement, not \"" + keyword.text + "\"");
    *statement = {number, found->second(in), {}};
    if (keyword.text == "expect") {
        std::string& text = statement->expectation;
        for (const Trace_Word& word : words)
            text += (text.empty() ? "" : " ") + (word.quoted ? "\"" + word.text + "\"" : word.text);
    }
    return true;
}

bool parse_trace(const std::string& text, Trace* trace, Read_Error* error) {
    std::vector<Statement> statements;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    try {
        Statement statement;
        while (std::getline(lines, line))
            if (parse_trace_line(line, ++number, &statement)) statements.push_back(std::move(statement));
    } catch (const Read_Error& failure) {
        *error = failure;
        return false;
    }
    trace->statements = std::move(statements);
    return true;
}
