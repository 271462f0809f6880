// Image files for the host and its tools: 8-bit RGBA PNG in and out
// (libpng), and 16-bit PGM in and out for depth values. Pixels are red, green, blue, alpha bytes, top row
// first and back to back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>


struct Rgba_Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bytes;  // width * height * 4
};

bool write_png(const std::string& path, const Rgba_Image& image, std::string* error);
// A 16-bit PGM (P5, maxval 65535) of at most 16384 pixels a side: width x
// height values, top row first.
bool read_pgm16(const std::string& path, int* width, int* height, std::vector<uint16_t>* values,
                std::string* error);
bool read_png(const std::string& path, Rgba_Image* image, std::string* error);
// `values` holds height rows of width values, row_bytes apart.
bool write_pgm16(const std::string& path, int width, int height, const uint8_t* values, int row_bytes,
                 std::string* error);
