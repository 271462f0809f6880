// What the host does to a model's vertices for one frame: a camera that
// frames the model's bounding sphere and orbits it around the model's up
// axis, a headlight with an ambient term, and the projection to device coordinates (x and y in window
// pixels from the lower-left corner, z from 0 at the near side of the sphere
// to 2^depth - 1 at its far side). It draws nothing.
#pragma once

#include <vector>

#include "host/types.h"
#include "viewer/model.h"

// The model axis that points up on the screen: y for most formats, z for
// many STL and 3DS files.
enum class View_Up { x, y, z };

struct View_Frame {
    int width = 640;
    int height = 480;
    int buffer_depth = 24;
    View_Up up = View_Up::y;
};

// A view the user has turned, moved and zoomed: angles in radians, the
// model moved by pan pixels (right and up) in the window, and zoom a factor
// on the framing's size.
struct View_Camera {
    double turn = 0;           // around the vertical axis, from the orbit's start
    double elevation = 25.0 * 3.14159265358979323846 / 180.0;  // above the horizon
    double pan_x = 0;
    double pan_y = 0;
    double zoom = 1;
};

class Model_View {
public:
    Model_View(const Model& model, const View_Frame& frame);

    // The camera for frame `index` of an orbit of `frame_count` frames: one
    // full turn around the model's up axis over the orbit.
    void set_orbit_frame(int index, int frame_count);
    void set_camera(const View_Camera& camera);

    // Device points and lit colours of every vertex of the mesh. Textured
    // meshes get white light, which the texture modulates; a vertex without
    // a normal (of a line or a point) gets its colour unlit.
    void project(const Model_Mesh& mesh, std::vector<HT_Point3D>* points, std::vector<HT_RGB32>* colors) const;

    // The device depth of the far side of everything: a clearing rectangle
    // lies here.
    float far_depth() const { return far_depth_; }
    const View_Frame& frame() const { return frame_; }

private:
    const Model& model_;
    View_Frame frame_;
    double distance_;
    double focal_;  // cot(half the vertical field of view)
    double zoom_ = 1;
    double near_;
    double far_;
    float far_depth_;
    // The camera: eye position and its right, up and backward axes.
    double eye_[3];
    double axes_[3][3];
};
