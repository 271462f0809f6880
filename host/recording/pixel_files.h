// The image files a trace names, written next to it as STEM-N.png (colours)
// and STEM-N.pgm (16-bit depth values). The stem is the trace's file name
// without its extensions, with every character that a trace word cannot
// hold bare (blanks, quotes, '#', '=', ':' and the like) made '_', so that
// names need no quoting. Texture images already written are known by their
// contents, not their address: a repainted image gets a file of its own and
// no image is kept alive for it.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "host/image.h"
#include "host/png_io.h"

class Pixel_Files {
public:
    // Files for the trace at `trace_path` (".trace" or ".trace.gz").
    explicit Pixel_Files(const std::string& trace_path);

    // The file holding the texture image's pixels, or "" when they cannot
    // be written.
    std::string texture_file(const HT_Image& image);
    // Red, green, blue, alpha, top row first; "" on failure (reported on
    // standard error).
    std::string colour_file(const Rgba_Image& image);
    // Width x height values, top row first.
    std::string depth_file(int width, int height, const std::vector<uint16_t>& values);

private:
    std::string next_name(const char* extension);
    std::string path_of(const std::string& name) const;

    std::string directory_;
    std::string stem_;
    int count_ = 0;
    // Texture files by a digest of size and pixels.
    std::map<uint64_t, std::string> textures_;
};

// Host pixels (blue, green, red, alpha in memory) to red, green, blue, alpha.
void host_to_rgba(const uint8_t* host, uint8_t* rgba, size_t pixel_count);
