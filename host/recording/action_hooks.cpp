// The wrappers in a recorded device's action table. The first call into a
// device is the host's and is written; calls that arrive while it runs (from
// the standard routines, on the host's or the render thread) are the
// device's own and go straight through. Every call reaches the device's own
// entry, recording or not. Primitive statements are built here; transfers
// in transfers.cpp.
#include <algorithm>

#include "host/recording/number_text.h"
#include "host/recording/recorder_state.h"
#include "host/recording/transfers.h"

namespace {

// Marks the device busy for the call's length and writes its statement
// when the call is the host's and the device is being recorded.
class Host_Call {
public:
    template <class Statement>
    Host_Call(HT_Renderer_Data* object, const HT_Rendition* rendition, Statement statement) {
        Recorder_State& state = recorder_state();
        std::lock_guard<std::mutex> lock(state.mutex);
        device_ = state.find(object);
        if (device_ == nullptr) return;
        original_ = device_->original;
        if (device_->depth.fetch_add(1) != 0) return;
        Recording_Session* session = state.recording(*device_);
        if (session == nullptr) return;
        session->use(*device_);
        session->rendition(rendition);
        statement(*session, *device_);
    }
    ~Host_Call() {
        if (device_ != nullptr) device_->depth.fetch_sub(1);
    }
    Host_Call(const Host_Call&) = delete;
    Host_Call& operator=(const Host_Call&) = delete;

    // The device's own entries; a call on an unknown object has none.
    const HT_Action_Table* original() const { return device_ != nullptr ? &original_ : nullptr; }

private:
    Recorded_Device* device_ = nullptr;
    HT_Action_Table original_;
};

// Writes the host's call, then makes it on the device's own entry.
template <class Function, class Statement, class... Arguments>
void recorded_call(HT_Renderer_Data* renderer, HT_Action<Function> HT_Action_Table::*entry,
                   const HT_Rendition* rendition, Statement statement, Arguments... arguments) {
    Host_Call call(renderer, rendition, statement);
    if (call.original() == nullptr) return;
    const HT_Action<Function>& own = call.original()->*entry;
    if (own.function != nullptr) own.function(own.object, rendition, arguments...);
}

// What the trace holds of each vertex: its point, the colour the device
// reads for it (the first for all with one colour), the texture parameters.
struct Vertex_Arrays {
    int count = 0;
    const HT_Point3D* points = nullptr;
    const HT_RGB32* colors = nullptr;
    bool one_color = false;
    const HT_Parameter* parameters = nullptr;
    const float* vertex_values = nullptr;
};

// A primitive statement, or a comment when the trace language cannot hold
// the call (no points where some are needed, missing arrays).
void write_primitive(Recording_Session& session, const char* name, const Vertex_Arrays& v, bool colors_needed,
                     bool parameters_needed) {
    std::string& text = session.line();
    text = name;
    if (v.count < 1 || v.points == nullptr || (colors_needed && v.colors == nullptr) ||
        (parameters_needed && v.parameters == nullptr)) {
        text = "# " + text + " with " + std::to_string(v.count) + " points and missing arrays";
        return session.write(text);
    }
    // A vertex takes about 50 characters.
    text.reserve(text.size() + size_t(v.count) * 56);
    if (v.one_color) text += " one_color";
    for (int i = 0; i < v.count; ++i) {
        text += ' ';
        append_point(text, v.points[i]);
        if (v.colors != nullptr) {
            text += '@';
            append_color(text, v.colors[v.one_color ? 0 : i]);
        }
        if (v.parameters != nullptr) {
            text += '/';
            append_float(text, v.parameters[i].s);
            text += ',';
            append_float(text, v.parameters[i].t);
        }
    }
    if (v.vertex_values != nullptr) {
        text += " values=";
        for (int i = 0; i < v.count; ++i) {
            if (i > 0) text += ',';
            append_float(text, v.vertex_values[i]);
        }
    }
    session.write(text);
}

constexpr char POLYLINE[] = "polyline";
constexpr char COLORIZED_POLYLINE[] = "colorized_polyline";
constexpr char GOURAUD_POLYLINE[] = "gouraud_polyline";
constexpr char POLYTRIANGLE[] = "polytriangle";
constexpr char COLORIZED_POLYTRIANGLE[] = "colorized_polytriangle";
constexpr char GOURAUD_POLYTRIANGLE[] = "gouraud_polytriangle";

// Polylines and polytriangles take the same arguments; the statement's name
// and the entry say which it is.
template <HT_Action<HT_Polyline_Action> HT_Action_Table::*Entry, const char* Name>
void record_plain(HT_Renderer_Data* renderer, const HT_Rendition* rendition, int count, const HT_Point3D* points) {
    recorded_call(
        renderer, Entry, rendition,
        [&](Recording_Session& s, const Recorded_Device&) { write_primitive(s, Name, {count, points}, false, false); },
        count, points);
}

template <HT_Action<HT_Colorized_Polyline_Action> HT_Action_Table::*Entry, const char* Name>
void record_colorized(HT_Renderer_Data* renderer, const HT_Rendition* rendition, int count, const HT_Point3D* points,
                      const HT_RGB32* colors, char one_color) {
    recorded_call(
        renderer, Entry, rendition,
        [&](Recording_Session& s, const Recorded_Device&) {
            write_primitive(s, Name, {count, points, colors, one_color != 0}, true, false);
        },
        count, points, colors, one_color);
}

template <HT_Action<HT_Gouraud_Polyline_Action> HT_Action_Table::*Entry, const char* Name>
void record_gouraud(HT_Renderer_Data* renderer, const HT_Rendition* rendition, int count, const HT_Point3D* points,
                    const HT_RGB32* colors) {
    recorded_call(
        renderer, Entry, rendition,
        [&](Recording_Session& s, const Recorded_Device&) {
            write_primitive(s, Name, {count, points, colors}, true, false);
        },
        count, points, colors);
}

// The vertex values (each vertex's 1/w) are read only for perspective
// texturing of at least one triangle, as the device reads them.
void record_textured_polytriangle(HT_Renderer_Data* renderer, const HT_Rendition* rendition, int count,
                                  const HT_Point3D* points, const HT_RGB32* colors, const HT_Parameter* parameters,
                                  const float* vertex_values) {
    const bool perspective =
        rendition != nullptr && rendition->surface.texture_interpolation == HT_TEXTURE_PERSPECTIVE && count >= 3;
    recorded_call(
        renderer, &HT_Action_Table::draw_dc_textured_polytriangle, rendition,
        [&](Recording_Session& s, const Recorded_Device&) {
            write_primitive(s, "textured_polytriangle",
                            {count, points, colors, false, parameters, perspective ? vertex_values : nullptr}, true,
                            true);
        },
        count, points, colors, parameters, vertex_values);
}

void write_bounds(Recording_Session& session, const char* name, int left, int right, int bottom, int top) {
    std::string& text = session.line();
    text = name;
    for (int side : {left, right, bottom, top}) {
        text += ' ';
        append_integer(text, side);
    }
    session.write(text);
}

void record_rectangle(HT_Renderer_Data* renderer, const HT_Rendition* rendition, int left, int right, int bottom,
                      int top) {
    recorded_call(
        renderer, &HT_Action_Table::draw_dc_rectangle, rendition,
        [&](Recording_Session& s, const Recorded_Device&) { write_bounds(s, "rectangle", left, right, bottom, top); },
        left, right, bottom, top);
}

void record_prepare_rectangle(HT_Renderer_Data* renderer, const HT_Rendition* rendition, int left, int right,
                              int bottom, int top) {
    recorded_call(
        renderer, &HT_Action_Table::prepare_dc_rectangle, rendition,
        [&](Recording_Session& s, const Recorded_Device&) {
            write_bounds(s, "prepare_rectangle", left, right, bottom, top);
        },
        left, right, bottom, top);
}

void record_dot(HT_Renderer_Data* renderer, const HT_Rendition* rendition, const HT_Point3D* p) {
    recorded_call(
        renderer, &HT_Action_Table::draw_dc_dot, rendition,
        [&](Recording_Session& s, const Recorded_Device&) { write_primitive(s, "dot", {1, p}, false, false); }, p);
}

void record_colorized_dot(HT_Renderer_Data* renderer, const HT_Rendition* rendition, const HT_Point3D* p,
                          const HT_RGB32* c) {
    recorded_call(
        renderer, &HT_Action_Table::draw_dc_colorized_dot, rendition,
        [&](Recording_Session& s, const Recorded_Device&) {
            write_primitive(s, "colorized_dot", {1, p, c}, true, false);
        },
        p, c);
}

void record_image(HT_Renderer_Data* renderer, const HT_Rendition* rendition, const HT_Point3D* start,
                  const HT_Point3D* end, int row_step, const void* pixels) {
    recorded_call(
        renderer, &HT_Action_Table::draw_dc_image, rendition,
        [&](Recording_Session& s, const Recorded_Device& d) {
            write_image_statement(s, d, start, end, row_step, pixels);
        },
        start, end, row_step, pixels);
}

void record_write_depth(HT_Renderer_Data* renderer, const HT_Rendition* rendition, const HT_Point3D* start,
                        const HT_Point3D* end, int row_step, const uint16_t* values) {
    recorded_call(
        renderer, &HT_Action_Table::write_dc_depth, rendition,
        [&](Recording_Session& s, const Recorded_Device& d) {
            write_depth_statement(s, d, start, end, row_step, values);
        },
        start, end, row_step, values);
}

// The read's statement is written before the call and its result noted
// after it, under its number: of two reads at once, the one written last
// is the last read, as in the replay.
template <bool Depth>
void record_read(HT_Renderer_Data* renderer, const HT_Rendition* rendition, const HT_Point3D* start,
                 const HT_Point3D* end, HT_Shared_Image& result) {
    uint64_t sequence = 0;
    {
        Host_Call call(renderer, rendition, [&](Recording_Session& s, const Recorded_Device&) {
            sequence = write_read_statement(s, Depth, start, end);
        });
        if (call.original() == nullptr) return;
        const auto& own = Depth ? call.original()->read_dc_depth : call.original()->read_dc_color;
        if (own.function != nullptr) own.function(own.object, rendition, start, end, result);
    }
    if (sequence == 0) return;
    Recorder_State& state = recorder_state();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (state.session != nullptr) note_read(*state.session, Depth, sequence, result);
}

// Entries the device left empty stay empty.
template <class Function>
void wrap(HT_Device_Data* device, HT_Action<Function>& entry, Function recording) {
    if (entry.function != nullptr) HT_Install_Action(device, entry, recording);
}

}  // namespace

void wrap_actions(HT_Device_Data* device) {
    HT_Action_Table& table = device->actions;
    wrap(device, table.draw_dc_polyline, &record_plain<&HT_Action_Table::draw_dc_polyline, POLYLINE>);
    wrap(device, table.draw_dc_colorized_polyline,
         &record_colorized<&HT_Action_Table::draw_dc_colorized_polyline, COLORIZED_POLYLINE>);
    wrap(device, table.draw_dc_gouraud_polyline,
         &record_gouraud<&HT_Action_Table::draw_dc_gouraud_polyline, GOURAUD_POLYLINE>);
    wrap(device, table.draw_dc_polytriangle, &record_plain<&HT_Action_Table::draw_dc_polytriangle, POLYTRIANGLE>);
    wrap(device, table.draw_dc_colorized_polytriangle,
         &record_colorized<&HT_Action_Table::draw_dc_colorized_polytriangle, COLORIZED_POLYTRIANGLE>);
    wrap(device, table.draw_dc_gouraud_polytriangle,
         &record_gouraud<&HT_Action_Table::draw_dc_gouraud_polytriangle, GOURAUD_POLYTRIANGLE>);
    wrap(device, table.draw_dc_textured_polytriangle, &record_textured_polytriangle);
    wrap(device, table.draw_dc_rectangle, &record_rectangle);
    wrap(device, table.prepare_dc_rectangle, &record_prepare_rectangle);
    wrap(device, table.draw_dc_dot, &record_dot);
    wrap(device, table.draw_dc_colorized_dot, &record_colorized_dot);
    wrap(device, table.draw_dc_image, &record_image);
    wrap(device, table.write_dc_depth, &record_write_depth);
    wrap(device, table.read_dc_color, &record_read<false>);
    wrap(device, table.read_dc_depth, &record_read<true>);
}
