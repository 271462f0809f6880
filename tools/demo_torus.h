// The demo's solid object: a torus, turned and projected on the CPU into
// device coordinates, lit per vertex for Gouraud shading. Drawing is the
// scene's business.
#pragma once

#include <vector>

#include "host/types.h"

struct Shaded_Strip {
    std::vector<HT_Point3D> points;
    std::vector<HT_RGB32> colors;
};

struct Torus_View {
    float center_x = 0;  // device coordinates of the torus's centre
    float center_y = 0;
    float scale = 100;      // pixels per unit at the centre's depth
    float max_depth = 65535;  // device z of the far end of the depth range
};

// One triangle strip per band around the tube.
std::vector<Shaded_Strip> torus_strips(const Torus_View& view);
// Rings around the tube every few bands, drawn just nearer than the surface
// so they show on it.
std::vector<std::vector<HT_Point3D>> torus_edges(const Torus_View& view);
