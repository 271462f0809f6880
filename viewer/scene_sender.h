// The host's side of drawing a model: each frame is cleared with a far
// rectangle, then every mesh goes to the device through its action table as
// triangle strips (Gouraud polytriangles for lit faces, colorized
// polytriangles for vertex colours, textured polytriangles for textured
// materials), its line segments as polylines, its points as coloured dots
// or, bigger than a pixel, as small squares, and, when asked, the triangle
// edges as polylines. The device is anything with an action table: the
// driver, or a reference renderer. Presenting the frame is the caller's
// business.
#pragma once

#include <cstdint>
#include <vector>

#include "host/device.h"
#include "viewer/model.h"
#include "viewer/model_view.h"

// The background of every frame.
constexpr HT_RGB32 VIEW_BACKGROUND = 0xFF283040u;
// The colour of triangle edges.
constexpr HT_RGB32 VIEW_EDGE_COLOR = 0xFF101010u;
// The side of a point in pixels, unless asked otherwise: plain to see in a
// window of 640 x 480.
constexpr int VIEW_POINT_SIZE = 5;
// The largest point side one may ask for.
constexpr int VIEW_POINT_SIZE_LIMIT = 64;

class Scene_Sender {
public:
    // Builds the strips and polylines of every mesh and the textures; the
    // model must outlive the sender. Points are `point_size` pixels on a
    // side (1: dots).
    Scene_Sender(const Model& model, const View_Frame& frame, bool edges, int point_size = VIEW_POINT_SIZE);
    Scene_Sender(const Scene_Sender&) = delete;
    Scene_Sender& operator=(const Scene_Sender&) = delete;

    // Sends frame `index` of an orbit of `frame_count` frames.
    void draw_frame(HT_Device_Data* device, int index, int frame_count);
    // Sends a frame seen through a camera the user moves.
    void draw_view(HT_Device_Data* device, const View_Camera& camera);
    void set_edges(bool edges) { edges_ = edges; }
    bool edges() const { return edges_; }

    size_t strip_count() const;
    size_t polyline_count() const;

private:
    struct Strip {
        uint32_t first;  // into the mesh's strip indices
        uint32_t count;
    };
    struct Mesh_Strips {
        std::vector<uint32_t> indices;
        std::vector<Strip> strips;
        std::vector<uint32_t> line_indices;
        std::vector<Strip> polylines;  // into line_indices
    };

    static void build_polylines(const std::vector<uint32_t>& lines, bool joined, Mesh_Strips* mesh_strips);
    void draw_current(HT_Device_Data* device);
    void clear(HT_Device_Data* device);
    void send_mesh(HT_Device_Data* device, size_t mesh_index, int point_limit);
    void send_lines(HT_Device_Data* device, const Mesh_Strips& mesh_strips);
    void send_dots(HT_Device_Data* device, const Model_Mesh& mesh);
    void send_squares(HT_Device_Data* device, const Model_Mesh& mesh);
    void send_edges(HT_Device_Data* device, const Model_Mesh& mesh);

    const Model& model_;
    Model_View view_;
    bool edges_;
    int point_size_;
    std::vector<Mesh_Strips> strips_;
    std::vector<HT_Texture_Handle> textures_;
    HT_Rendition rendition_;
    // Per-frame buffers, kept so that frames allocate nothing once warm.
    std::vector<HT_Point3D> projected_;
    std::vector<HT_RGB32> lit_;
    std::vector<HT_Point3D> points_;
    std::vector<HT_RGB32> colors_;
    std::vector<HT_Parameter> parameters_;
    std::vector<float> vertex_values_;
};
