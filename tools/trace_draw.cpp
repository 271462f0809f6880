// Dots, polylines, polytriangles and rectangles, through the current
// device's action table with the sticky rendition.
#include "tools/trace_handlers.h"

namespace {

struct Vertex_Arrays {
    std::vector<HT_Point3D> points;
    std::vector<HT_RGB32> colors;
    std::vector<HT_Parameter> parameters;
    std::vector<float> vertex_values;  // the statement's, or all 0
};

Vertex_Arrays arrays_of(const Primitive_Statement& statement) {
    Vertex_Arrays arrays;
    for (const Trace_Vertex& vertex : statement.vertices) {
        arrays.points.push_back(vertex.point);
        arrays.colors.push_back(vertex.color);
        arrays.parameters.push_back({vertex.s, vertex.t, 0});
    }
    arrays.vertex_values = statement.vertex_values;
    arrays.vertex_values.resize(statement.vertices.size(), 0.0f);
    return arrays;
}

}  // namespace

Failure run_statement(Replay_State& state, const Primitive_Statement& statement) {
    Failure failure;
    HT_Device_Data* device = need_current_device(state, &failure);
    if (device == nullptr) return failure;
    const HT_Action_Table& table = device->actions;
    const HT_Rendition* rendition = &state.rendition;
    Vertex_Arrays arrays = arrays_of(statement);
    int count = int(arrays.points.size());
    const HT_Point3D* points = arrays.points.data();
    const HT_RGB32* colors = arrays.colors.data();
    char one_color = statement.one_color ? 1 : 0;
    using Kind = Primitive_Statement::Kind;
    switch (statement.kind) {
    case Kind::dot:
        return call_action(table.draw_dc_dot, "draw_dc_dot", rendition, points);
    case Kind::colorized_dot:
        return call_action(table.draw_dc_colorized_dot, "draw_dc_colorized_dot", rendition, points, colors);
    case Kind::polyline:
        return call_action(table.draw_dc_polyline, "draw_dc_polyline", rendition, count, points);
    case Kind::colorized_polyline:
        return call_action(table.draw_dc_colorized_polyline, "draw_dc_colorized_polyline", rendition, count,
                           points, colors, one_color);
    case Kind::gouraud_polyline:
        return call_action(table.draw_dc_gouraud_polyline, "draw_dc_gouraud_polyline", rendition, count, points,
                           colors);
    case Kind::polytriangle:
        return call_action(table.draw_dc_polytriangle, "draw_dc_polytriangle", rendition, count, points);
    case Kind::colorized_polytriangle:
        return call_action(table.draw_dc_colorized_polytriangle, "draw_dc_colorized_polytriangle", rendition,
                           count, points, colors, one_color);
    case Kind::gouraud_polytriangle:
        return call_action(table.draw_dc_gouraud_polytriangle, "draw_dc_gouraud_polytriangle", rendition, count,
                           points, colors);
    case Kind::textured_polytriangle:
        return call_action(table.draw_dc_textured_polytriangle, "draw_dc_textured_polytriangle", rendition,
                           count, points, colors, static_cast<const HT_Parameter*>(arrays.parameters.data()),
                           static_cast<const float*>(arrays.vertex_values.data()));
    }
    return std::nullopt;
}

Failure run_statement(Replay_State& state, const Rectangle_Statement& statement) {
    Failure failure;
    HT_Device_Data* device = need_current_device(state, &failure);
    if (device == nullptr) return failure;
    const HT_Action<HT_Rectangle_Action>& action =
        statement.prepare ? device->actions.prepare_dc_rectangle : device->actions.draw_dc_rectangle;
    return call_action(action, statement.prepare ? "prepare_dc_rectangle" : "draw_dc_rectangle",
                       static_cast<const HT_Rendition*>(&state.rendition), statement.left, statement.right,
                       statement.bottom, statement.top);
}
