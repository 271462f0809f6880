// Reading `tovrek view`'s command line: every option checked for range, so
// that a bad argument is answered with a message, never with a huge window
// or an endless run.
#include "viewer/view_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

const char* const VIEW_HELP =
    "usage: tovrek view MODEL [-o FILE.png] [--size WxH] [--frames N] [--buffer-depth N]\n"
    "                   [--edges] [--up x|y|z] [--point-size N] [--reference direct|software]\n"
    "                   [--module PATH] [--compare direct|software] [--tolerance N] [--max-differing P]\n"
    "                   [--diff FILE.png] [--record FILE.trace]\n"
    "Renders a model file (obj, ply, stl, off, 3ds, glTF 2.0 as gltf or glb, dae) through the driver,\n"
    "orbiting it over the frames. Exits 2 when the model cannot be read; comparing, 1 when too many\n"
    "pixels differ.\n"
    "options:\n"
    "  -o FILE.png                 write the last frame\n"
    "  --size WxH                  the window (default 640x480)\n"
    "  --frames N                  frames of the orbit, with frames per second (default 1; 0: until closed)\n"
    "  --buffer-depth N            the host's \"Buffer Depth\" (default 24)\n"
    "  --edges                     draw the triangle edges as polylines too\n"
    "  --up x|y|z, -x, -y, -z      the model axis that points up (default y)\n"
    "  --point-size N              the side of a point in pixels, 1 to 64 (default 5; 1: one-pixel dots)\n"
    "  --reference direct|software show a reference renderer instead of the driver\n"
    "  --compare direct|software   render through the driver and the reference, print the differing pixels\n"
    "  --tolerance N               a pixel differs when a channel differs by more (default 8)\n"
    "  --max-differing P           the most differing pixels, in percent, that exit 0 (default 0.5)\n"
    "  --diff FILE.png             write the difference picture\n"
    "  --record FILE.trace         record the host's calls on the driver (sets TOVREK_RECORD)\n"
    "  --module PATH               the driver module (default $TOVREK_MODULE, else the installed one)\n"
    "  -h, --help                  show this help\n";

namespace {

// The largest window side and the most frames one run may ask for.
constexpr long MAX_SIDE = 8192;
constexpr long MAX_FRAMES = 1000000;

bool whole_number(const char* text, long low, long high, int* value) {
    errno = 0;
    char* end = nullptr;
    const long number = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || number < low || number > high) return false;
    *value = int(number);
    return true;
}

bool axis_name(const std::string& text, View_Up* up) {
    if (text == "x") *up = View_Up::x;
    else if (text == "y") *up = View_Up::y;
    else if (text == "z") *up = View_Up::z;
    else return false;
    return true;
}

bool renderer_name(const std::string& text, View_Renderer* renderer) {
    if (text == "direct") *renderer = View_Renderer::direct;
    else if (text == "software") *renderer = View_Renderer::software;
    else return false;
    return true;
}

}  // namespace

bool parse_view_options(int argc, char** argv, View_Options* options, std::string* error) {
    for (int i = 0; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool has_value = i + 1 < argc;
        const char* value = has_value ? argv[i + 1] : "";
        auto bad = [&](const std::string& what) {
            *error = argument + " wants " + what + (has_value ? std::string(", not \"") + value + "\"" : "");
            return false;
        };
        if (argument == "--edges") {
            options->edges = true;
            continue;
        }
        if (argument == "-x" || argument == "-y" || argument == "-z") {
            axis_name(argument.substr(1), &options->up);
            continue;
        }
        if (!argument.empty() && argument[0] == '-' && !has_value) {
            *error = "unknown option or missing value: " + argument;
            return false;
        }
        if (argument == "-o") {
            options->output = value;
        } else if (argument == "--module") {
            options->module = value;
        } else if (argument == "--diff") {
            options->diff = value;
        } else if (argument == "--record") {
            options->record = value;
        } else if (argument == "--size") {
            const char* x = std::strchr(value, 'x');
            if (x == nullptr) return bad("WxH");
            const std::string width(value, x);
            if (!whole_number(width.c_str(), 1, MAX_SIDE, &options->width) ||
                !whole_number(x + 1, 1, MAX_SIDE, &options->height))
                return bad("WxH, each from 1 to 8192");
        } else if (argument == "--frames") {
            if (!whole_number(value, 0, MAX_FRAMES, &options->frames)) return bad("a number of frames from 0 to 1000000");
        } else if (argument == "--buffer-depth") {
            if (!whole_number(value, 0, 24, &options->buffer_depth)) return bad("a depth from 0 to 24");
        } else if (argument == "--up") {
            if (!axis_name(value, &options->up)) return bad("x, y or z");
        } else if (argument == "--point-size") {
            if (!whole_number(value, 1, VIEW_POINT_SIZE_LIMIT, &options->point_size))
                return bad("a point size from 1 to " + std::to_string(VIEW_POINT_SIZE_LIMIT));
        } else if (argument == "--tolerance") {
            if (!whole_number(value, 0, 255, &options->tolerance)) return bad("a tolerance from 0 to 255");
        } else if (argument == "--max-differing") {
            char* end = nullptr;
            const double percent = std::strtod(value, &end);
            if (end == value || *end != '\0' || !(percent >= 0 && percent <= 100)) return bad("a percentage from 0 to 100");
            options->max_differing = percent;
        } else if (argument == "--reference") {
            if (!renderer_name(value, &options->reference)) return bad("direct or software");
        } else if (argument == "--compare") {
            if (!renderer_name(value, &options->compare_with)) return bad("direct or software");
            options->compare = true;
        } else if (!argument.empty() && argument[0] != '-' && options->model.empty()) {
            options->model = argument;
            continue;
        } else {
            *error = "unexpected argument: " + argument;
            return false;
        }
        ++i;
    }
    if (options->model.empty()) {
        *error = "no model file given";
        return false;
    }
    if (options->compare && options->reference != View_Renderer::driver) {
        *error = "--compare renders through the driver; it does not go with --reference";
        return false;
    }
    return true;
}
