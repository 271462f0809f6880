// The statements of a host call trace, as the parser hands them to the
// executor: one plain struct per statement, already checked for form (every
// number in range, every option known). What a statement does is the
// executor's business; nothing here touches the driver.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "host/types.h"
#include "platform/winx.h"

// A vertex as a trace writes it: x,y,z, optionally @#RRGGBB[AA] and /s,t.
struct Trace_Vertex {
    HT_Point3D point{0, 0, 0};
    HT_RGB32 color = 0;
    float s = 0;
    float t = 0;
};

// Where an image's pixels come from.
struct Image_Source {
    enum class Kind { png_file, solid, checker };
    Kind kind = Kind::solid;
    std::string file;  // png_file: as written, relative to the trace
    int width = 0;
    int height = 0;
    int cell = 1;                // checker: square size in pixels
    HT_RGB32 first_color = 0;    // solid colour, or the checker's top-left square
    HT_RGB32 second_color = 0;
};

// A device-coordinate rectangle given by its upper-left and lower-right corners.
struct Corner_Pair {
    HT_Point3D start{0, 0, 0};
    HT_Point3D end{0, 0, 0};
};

struct Screen_Statement { int width, height, depth; };

// The whole board profile: the settings named, every other one at its
// default.
struct Board_Statement { winx::Board_Profile profile; };

struct Registry_Statement {
    enum class Action { set_value, remove_value, remove_key };
    Action action = Action::set_value;
    std::string value_name;
    uint32_t value = 0;
};

struct Window_Statement { int width, height; };

struct Option_Statement {
    enum class Kind { integer, boolean, real };
    std::string name;
    Kind kind = Kind::integer;
    int32_t integer = 0;  // integers, and booleans as 0 or 1
    float real = 0;
};

struct Device_Statement { std::string name; bool expect_null = false; };
struct Use_Statement { std::string name; };
struct Start_Statement {};
struct Show_Statement {};
struct Destroy_Statement { std::optional<std::string> name; };

struct Color_Statement { HT_RGB32 color; };

struct Line_Statement {
    std::optional<int32_t> pattern;
    std::optional<int32_t> cap_style;
    std::optional<int32_t> join_style;
    std::optional<int32_t> weight;
    std::optional<std::vector<int32_t>> dashes;
};

struct Face_Statement {
    std::optional<int32_t> pattern;
    std::optional<std::vector<uint32_t>> user_rows;  // 32 rows, bottom row first
};

struct Texture_Statement {
    bool none = false;
    int32_t id = 0;
    int32_t wrap_s = 3;
    int32_t wrap_t = 3;
    Image_Source image;
    // The texture interpolation; `texture none` leaves it as it was unless
    // it gives one.
    std::optional<int32_t> further;
};

// dot, colorized_dot and the six polyline and polytriangle statements.
struct Primitive_Statement {
    enum class Kind {
        dot, colorized_dot,
        polyline, colorized_polyline, gouraud_polyline,
        polytriangle, colorized_polytriangle, gouraud_polytriangle,
        textured_polytriangle,
    };
    Kind kind = Kind::dot;
    bool one_color = false;
    std::vector<Trace_Vertex> vertices;
    // textured_polytriangle: each vertex's 1/w for perspective texturing;
    // empty gives every vertex 0.
    std::vector<float> vertex_values;
};

struct Rectangle_Statement {
    bool prepare = false;
    int32_t left, right, bottom, top;
};

struct Image_Statement {
    Corner_Pair corners;
    Image_Source source;
    std::optional<int32_t> row_step;
    bool bottom_up = false;
};

struct Write_Depth_Statement {
    Corner_Pair corners;
    uint16_t value = 0;
    std::optional<std::string> values_file;  // a 16-bit PGM instead of one value
    std::optional<int32_t> row_step;
};

struct Read_Statement {
    bool depth = false;
    Corner_Pair corners;
    std::optional<std::string> save;
};

// redraw (the last colour read) and restore_depth (the last depth read).
struct Restore_Statement {
    bool depth = false;
    Corner_Pair corners;
};

struct Snapshot_Statement { std::optional<std::string> file; };

struct Expect_Pixel_Statement { int x, y; HT_RGB32 color; int tolerance; };
struct Expect_Read_Statement { int x, y; HT_RGB32 color; int tolerance; };
struct Expect_Depth_Statement { int x, y; int value; int tolerance; };
struct Expect_Image_Statement { int width, height, format, row_bytes; };
struct Expect_Message_Statement { std::string caption, text; };
struct Expect_No_Message_Statement {};

using Statement_Body = std::variant<
    Screen_Statement, Board_Statement, Registry_Statement, Window_Statement, Option_Statement,
    Device_Statement, Use_Statement, Start_Statement, Show_Statement, Destroy_Statement,
    Color_Statement, Line_Statement, Face_Statement, Texture_Statement, Primitive_Statement,
    Rectangle_Statement, Image_Statement, Write_Depth_Statement, Read_Statement,
    Restore_Statement, Snapshot_Statement, Expect_Pixel_Statement, Expect_Read_Statement,
    Expect_Depth_Statement, Expect_Image_Statement, Expect_Message_Statement,
    Expect_No_Message_Statement>;

struct Statement {
    int line = 0;
    Statement_Body body;
    // An expectation's words as written, for reports; empty for the other
    // statements, which traces hold by the thousand.
    std::string expectation;
};

struct Trace {
    std::string path;  // as given on the command line
    std::vector<Statement> statements;
};
