// What OpenGL can draw as the host asks, judged from the rendition: the line
// and face stipple tables hold patterns 0 to 8 and 0 to 72, and OpenGL's wide
// lines have neither caps nor joins. Anything else goes to the host's
// standard routines. Indexes outside the tables are refused here so that no
// stipple is ever read past its table.
#pragma once

#include "driver/device.h"
#include "host/rendition.h"

inline bool opengl_draws_line(const HT_Rendition& rendition) {
    const HT_Line_Rendition& line = rendition.line;
    if (line.pattern < 0 || line.pattern >= LINE_STIPPLE_COUNT) return false;
    return line.weight <= 1 || (line.cap_style == 0 && line.join_style == 0);
}

inline bool opengl_draws_face(const HT_Rendition& rendition) {
    const int32_t pattern = rendition.face.pattern;
    return pattern >= 0 && pattern < FACE_STIPPLE_COUNT;
}
