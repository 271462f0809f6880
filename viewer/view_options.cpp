// Reading `tovrek view`'s command line: every option checked for range, so
// that a bad argument is answered with one line, never with a huge window
// or an endless run.
#include "viewer/view_options.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

const char* const VIEW_HELP =
    "usage: tovrek view MODEL... [-o FILE.png] [--size WxH] [--frames N] [--buffer-depth N]\n"
    "                   [--edges] [--up x|y|z] [--point-size N] [--reference direct|software] [--module PATH]\n"
    "                   [--compare direct|software] [--tolerance N] [--max-differing P] [--diff FILE.png]\n"
    "                   [--record FILE.trace] [--stats] [--json] [--frames-out DIR] [--jobs N]\n"
    "Renders model files (obj, ply, stl, off, 3ds, glTF 2.0 as gltf or glb, dae) through the driver,\n"
    "orbiting each over the frames; a folder stands for the model files in it and below. On a display\n"
    "of your own and without --frames, a window opens: drag with the left button to orbit, the right\n"
    "or middle to pan, the wheel to zoom; r resets the view, e toggles edges, s writes a screenshot,\n"
    "q or Esc quits.\n"
    "Exit status: 0 done; 1 a comparison beyond --max-differing; 2 a model that cannot be read or a\n"
    "mistake on the command line; 3 anything else that stops the run (an output that cannot be\n"
    "written, no display, no driver module, a recording that cannot be opened).\n"
    "options:\n"
    "  -o FILE.png|FILE.jpg        write the last frame (PNG or JPEG by the extension)\n"
    "  --size WxH                  the window (default 640x480)\n"
    "  --frames N                  frames of an orbit, with frames per second (default 1; 0 or none: the\n"
    "                              window, on a display of your own)\n"
    "  --buffer-depth N            bits of device z, 0 to 32 (default 24); 0 or 1: no depth test, the\n"
    "                              faces drawn last cover the others\n"
    "  --edges                     draw the triangle edges as polylines too\n"
    "  --up x|y|z, -x, -y, -z      the model axis that points up (default y)\n"
    "  --point-size N              the side of a point in pixels, 1 to 64 (default 5; 1: one-pixel dots)\n"
    "  --reference direct|software show a reference renderer instead of the driver\n"
    "  --compare direct|software   render through the driver and the reference, and compare every frame\n"
    "  --tolerance N               a pixel differs when a channel differs by more (default 8)\n"
    "  --max-differing P           the most differing pixels of a frame, in percent, that exit 0\n"
    "                              (default 0.5)\n"
    "  --diff FILE.png             with --compare, write the worst frame's difference picture\n"
    "  --record FILE.trace         record the host's calls on the driver (sets TOVREK_RECORD)\n"
    "  --stats                     print what the model holds and what one frame costs\n"
    "  --json                      print that and the run's figures as one JSON object\n"
    "  --frames-out DIR            write every frame as DIR/frame-0001.png ...\n"
    "  --jobs N                    view N models at a time, each in a process of its own (default 1)\n"
    "  --module PATH               the driver module (default $TOVREK_MODULE, else the installed one)\n"
    "  -h, --help                  show this help\n";

namespace {

// The largest window side, the most frames one run may ask for, and the
// most models viewed at once.
constexpr long MAX_SIDE = 8192;
constexpr long MAX_FRAMES = 1000000;
constexpr long MAX_JOBS = 64;

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

bool ends_with(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool is_flag(const std::string& argument, View_Options* options) {
    if (argument == "--edges") options->edges = true;
    else if (argument == "--stats") options->stats = true;
    else if (argument == "--json") options->json = true;
    else if (argument == "-x" || argument == "-y" || argument == "-z") axis_name(argument.substr(1), &options->up);
    else return false;
    return true;
}

const char* const OPTIONS_WITH_VALUES[] = {"-o", "--size", "--frames", "--buffer-depth", "--module",
                                           "--reference", "--compare", "--tolerance", "--max-differing",
                                           "--diff", "--record", "--frames-out", "--jobs",
                                           "--up", "--point-size"};

bool takes_value(const std::string& argument) {
    return std::any_of(std::begin(OPTIONS_WITH_VALUES), std::end(OPTIONS_WITH_VALUES),
                       [&](const char* name) { return argument == name; });
}

// Reads the value of one option; false, with the reason, when it is out of
// range.
bool read_value(const std::string& option, const std::string& value, View_Options* options, std::string* accepted) {
    const char* text = value.c_str();
    if (option == "-o") {
        options->output = value;
        *accepted = "a file name ending in .png, .jpg or .jpeg";
        return is_picture_name(value);
    }
    if (option == "--diff") {
        options->diff = value;
        *accepted = "a file name ending in .png, .jpg or .jpeg";
        return is_picture_name(value);
    }
    if (option == "--module") options->module = value;
    else if (option == "--record") options->record = value;
    else if (option == "--frames-out") options->frames_out = value;
    else if (option == "--size") {
        *accepted = "WxH, each from 1 to 8192";
        const char* x = std::strchr(text, 'x');
        if (x == nullptr) return false;
        const std::string width(text, x);
        return whole_number(width.c_str(), 1, MAX_SIDE, &options->width) &&
               whole_number(x + 1, 1, MAX_SIDE, &options->height);
    } else if (option == "--frames") {
        *accepted = "a number of frames from 0 to 1000000";
        options->frames_given = true;
        return whole_number(text, 0, MAX_FRAMES, &options->frames);
    } else if (option == "--buffer-depth") {
        *accepted = "a depth from 0 to 32";
        return whole_number(text, 0, 32, &options->buffer_depth);
    } else if (option == "--tolerance") {
        *accepted = "a tolerance from 0 to 255";
        return whole_number(text, 0, 255, &options->tolerance);
    } else if (option == "--up") {
        *accepted = "x, y or z";
        return axis_name(value, &options->up);
    } else if (option == "--point-size") {
        *accepted = "a point size from 1 to " + std::to_string(VIEW_POINT_SIZE_LIMIT);
        return whole_number(text, 1, VIEW_POINT_SIZE_LIMIT, &options->point_size);
    } else if (option == "--jobs") {
        *accepted = "a number of jobs from 1 to 64";
        return whole_number(text, 1, MAX_JOBS, &options->jobs);
    } else if (option == "--max-differing") {
        *accepted = "a percentage from 0 to 100";
        char* end = nullptr;
        const double percent = std::strtod(text, &end);
        if (end == text || *end != '\0' || !(percent >= 0 && percent <= 100)) return false;
        options->max_differing = percent;
    } else if (option == "--reference") {
        *accepted = "direct or software";
        return renderer_name(value, &options->reference);
    } else if (option == "--compare") {
        *accepted = "direct or software";
        options->compare = true;
        return renderer_name(value, &options->compare_with);
    }
    return true;
}

}  // namespace

bool is_picture_name(const std::string& path) {
    std::string lower = path;
    for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
    const size_t slash = lower.find_last_of('/');
    const std::string name = slash == std::string::npos ? lower : lower.substr(slash + 1);
    for (const char* extension : {".png", ".jpg", ".jpeg"})
        if (name.size() > std::strlen(extension) && ends_with(name, extension)) return true;
    return false;
}

bool parse_view_options(int argc, char** argv, View_Options* options, std::string* error) {
    for (int i = 0; i < argc; ++i) {
        const std::string argument = argv[i];
        if (is_flag(argument, options)) {
            options->option_words.push_back(argument);
            continue;
        }
        if (takes_value(argument)) {
            if (i + 1 >= argc) {
                *error = argument + " needs a value";
                return false;
            }
            const std::string value = argv[++i];
            options->option_words.insert(options->option_words.end(), {argument, value});
            std::string accepted;
            if (!read_value(argument, value, options, &accepted)) {
                *error = argument + " \"" + value + "\": expected " + accepted;
                return false;
            }
            continue;
        }
        if (argument.size() > 1 && argument[0] == '-') {
            *error = "unknown option " + argument;
            return false;
        }
        if (argument.empty()) {
            *error = "an empty model name";
            return false;
        }
        options->models.push_back(argument);
    }
    if (options->models.empty()) {
        *error = "no model file given";
        return false;
    }
    if (options->compare && options->reference != View_Renderer::driver) {
        *error = "--compare renders through the driver; it does not go with --reference";
        return false;
    }
    if (!options->diff.empty() && !options->compare) {
        *error = "--diff needs --compare: it writes the difference from a reference";
        return false;
    }
    return true;
}
