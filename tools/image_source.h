// Turns a trace's image source (a PNG file, a solid colour, a checkerboard)
// into host pixels: HT_RGB32 values, top row first, as the host stores them.
#pragma once

#include <string>
#include <vector>

#include "host/types.h"
#include "tools/trace_statements.h"

struct Host_Pixels {
    int width = 0;
    int height = 0;
    std::vector<HT_RGB32> pixels;  // width * height, top row first
};

// PNG files are found relative to `base_directory`. False, with a reason,
// when a file cannot be read.
bool load_image_source(const Image_Source& source, const std::string& base_directory, Host_Pixels* result,
                       std::string* error);
