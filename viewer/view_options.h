// The options of `tovrek view` and their usage text.
#pragma once

#include <string>

#include "viewer/model_view.h"
#include "viewer/scene_sender.h"

// The usage line, what the command does, and every option.
extern const char* const VIEW_HELP;

enum class View_Renderer { driver, direct, software };

struct View_Options {
    std::string model;
    std::string output;       // -o: the last frame as PNG; empty for none
    int width = 640;
    int height = 480;
    int frames = 1;           // 0: until the window is closed (on a display)
    int buffer_depth = 24;
    std::string module;
    bool edges = false;
    View_Up up = View_Up::y;  // --up, -x, -y, -z
    int point_size = VIEW_POINT_SIZE;
    View_Renderer reference = View_Renderer::driver;  // what --reference shows
    bool compare = false;
    View_Renderer compare_with = View_Renderer::direct;
    int tolerance = 8;
    std::string diff;         // --diff: the difference picture as PNG
    double max_differing = 0.5;
    std::string record;       // --record: the driver's calls as a trace
};

// False, with the reason, when the arguments are not a valid command line.
bool parse_view_options(int argc, char** argv, View_Options* options, std::string* error);
