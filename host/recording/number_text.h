// Writing the numbers, colours and points of trace statements onto the end
// of a line being built. Floats are written in the shortest form that reads
// back to the same bits, whatever the host's locale says; nothing here
// allocates beyond growing the line.
#pragma once

#include <cstdint>
#include <string>

#include "host/types.h"

void append_integer(std::string& line, int64_t value);
// nan, inf and -inf as such; every other float in the fewest digits that
// read back bit for bit.
void append_float(std::string& line, float value);
// #RRGGBBAA.
void append_color(std::string& line, HT_RGB32 color);
// x,y,z.
void append_point(std::string& line, const HT_Point3D& point);
// Eight hex digits, most significant first.
void append_hex_word(std::string& line, uint32_t word);
// "TEXT" with " and \ escaped.
void append_quoted(std::string& line, const std::string& text);
