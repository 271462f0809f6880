// The options of `tovrek view` and their help text.
#pragma once

#include <string>
#include <vector>

#include "viewer/model_view.h"
#include "viewer/scene_sender.h"

// The usage line, what the command does, and every option.
extern const char* const VIEW_HELP;

enum class View_Renderer { driver, direct, software };

struct View_Options {
    std::vector<std::string> models;  // files, or folders whose model files are all viewed
    std::string output;       // -o: the last frame as PNG or JPEG; empty for none
    int width = 640;
    int height = 480;
    int frames = 1;           // 0: until the window is closed (on a display)
    bool frames_given = false;  // without --frames a display of the user's gets the interactive window
    int buffer_depth = 24;
    std::string module;
    bool edges = false;
    View_Up up = View_Up::y;  // --up, -x, -y, -z
    int point_size = VIEW_POINT_SIZE;
    View_Renderer reference = View_Renderer::driver;  // what --reference shows
    bool compare = false;
    View_Renderer compare_with = View_Renderer::direct;
    int tolerance = 8;
    std::string diff;         // --diff: the worst frame's difference picture
    double max_differing = 0.5;
    std::string record;       // --record: the driver's calls as a trace
    bool stats = false;       // --stats: what the model holds and one frame costs
    bool json = false;        // --json: the same and the run's figures as one JSON object
    std::string frames_out;   // --frames-out: a folder for frame-0001.png ...
    int jobs = 1;             // --jobs: models viewed at the same time
    std::vector<std::string> option_words;  // every option and its value, in order, as given
};

// False, with a one-line reason, when the arguments are not a valid command
// line.
bool parse_view_options(int argc, char** argv, View_Options* options, std::string* error);

// True when `path` ends in a picture format that -o, --diff and the
// screenshots write: .png, .jpg or .jpeg, in any letter case.
bool is_picture_name(const std::string& path);
