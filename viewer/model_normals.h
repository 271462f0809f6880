// Normals for the triangle corners whose vertex has none that can light
// it: missing (all zero), zero or not finite. Good normals are kept as the
// file gave them. It does not touch the vertices of lines and points, which
// the viewer draws unlit when they have no normal.
#pragma once

#include "viewer/model.h"

// Faces that meet at an angle wider than this keep a hard edge between them.
constexpr double MODEL_CREASE_DEGREES = 80.0;

// Each corner with a bad normal gets the area-weighted sum of the normals of
// the triangles at its position that face within the crease angle of its own
// triangle. A vertex whose corners come out with different normals is split:
// the mesh gets a copy of it (position, colour and texture coordinates) for
// each further normal. Corners of degenerate triangles at a position
// with no other triangle keep a zero normal.
void repair_normals(Model_Mesh* mesh);
