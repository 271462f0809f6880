// The host's renderer classes: storage, the base implementations of the
// virtual operations, and the device's defaults (the "Buffer Depth" option and
// the face patterns). A device installs its own draw actions; none are set
// here.
#include "host/device.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>

#include "host/face_patterns.h"

// Through the program's nothrow allocation, so that a program that replaces
// it (a test injecting failures) reaches this one as well.
void* HT_Object::operator new(size_t size) noexcept { return ::operator new(size, std::nothrow); }

void HT_Object::operator delete(void* storage) noexcept { ::operator delete(storage); }

namespace {

constexpr int32_t MAX_BUFFER_DEPTH = 32;

bool all_zero(const HT_Option_Value& value) {
    if (value.is_null()) return true;
    const HT_Option_Value_Record& record = *value.get();
    return std::all_of(record.integers.begin(), record.integers.end(), [](int32_t v) { return v == 0; }) &&
           std::all_of(record.floats.begin(), record.floats.end(), [](float v) { return v == 0.0f; });
}

float finite_or_zero(float value) { return std::isfinite(value) ? value : 0.0f; }

}  // namespace

HT_Renderer_Data::HT_Renderer_Data() = default;

HT_Renderer_Data::~HT_Renderer_Data() = default;

int HT_Renderer_Data::query_reserved() { return 0; }

bool HT_Renderer_Data::validate_line_pattern_lengths(const HT_Line_Rendition& line) {
    if (line.dashes.empty() || line.dashes.size() > size_t(HT_MAX_DASHES)) return false;
    return std::all_of(line.dashes.begin(), line.dashes.end(), [](int32_t length) { return length > 0; });
}

bool HT_Renderer_Data::validate_face_pattern_bits(const HT_Face_Rendition& face) {
    // A bitmap with no bit set would draw nothing at all.
    return std::any_of(std::begin(face.user_rows), std::end(face.user_rows),
                       [](uint32_t row) { return row != 0; });
}

HT_Renderer_Options& HT_Renderer_Data::options_record() { return current_options; }

HT_Renderer_Options& HT_Renderer_Data::renderer_options_record() { return current_options; }

// A plain renderer has only the renderer's part to keep in range.
void HT_Renderer_Data::optimize_current_options() { optimize_current_renderer_options(); }

// The view geometry: no negative window, a positive finite pixel aspect, and
// finite clipping margins.
void HT_Renderer_Data::optimize_current_renderer_options() {
    HT_Int_XY size = current_options.window_size();
    current_options.set_window_size({std::max(size.x, 0), std::max(size.y, 0)});
    float aspect = current_options.pixel_aspect();
    if (!(std::isfinite(aspect) && aspect > 0.0f)) current_options.set_pixel_aspect(1.0f);
    HT_Float_Rectangle fudge = current_options.clipping_fudge();
    current_options.set_clipping_fudge({finite_or_zero(fudge.left), finite_or_zero(fudge.right),
                                        finite_or_zero(fudge.bottom), finite_or_zero(fudge.top)});
}

HT_Option_Table& HT_Renderer_Data::device_option_table() { return renderer_option_table; }

// A bare renderer has nothing to start.
int HT_Renderer_Data::start_device() { return 0; }

void HT_Renderer_Data::reserved_slot_10() {}

// A bare renderer has no frame to show.
void HT_Renderer_Data::show_frame(int) {}

void HT_Renderer_Data::reserved_slot_12() {}

// How many options the user has switched on: the options of the device's
// first option table whose value holds a non-zero element. A renderer that is
// no device has no such table and answers 0.
int HT_Renderer_Data::query_user_configuration() {
    HT_Device_Data* device = HT_Device_Of(this);
    if (device == nullptr) return 0;
    int switched_on = 0;
    const HT_Option_Table& table = device->option_tables[0];
    for (size_t i = 0; i < table.size(); ++i)
        if (!all_zero(table.at(i)->value())) ++switched_on;
    return switched_on;
}

void HT_Renderer_Data::reserved_slot_14() {}

HT_Physical_Renderer_Data::HT_Physical_Renderer_Data() = default;

HT_Physical_Renderer_Data::~HT_Physical_Renderer_Data() = default;

// The renderer's part, then what a physical screen adds: a buffer depth the
// hardware can have and a colour system the host knows.
void HT_Physical_Renderer_Data::optimize_current_options() {
    HT_Renderer_Data::optimize_current_options();
    current_options.set_buffer_depth(std::clamp(current_options.buffer_depth(), 0, MAX_BUFFER_DEPTH));
    HT_Color_System system = current_options.color_system();
    if (system != HT_COLOR_SYSTEM_MAPPED && system != HT_COLOR_SYSTEM_RGB)
        current_options.set_color_system(HT_COLOR_SYSTEM_RGB);
}

HT_Option_Table& HT_Physical_Renderer_Data::device_option_table() { return physical_option_table; }

HT_Device_Data::HT_Device_Data() : face_patterns() {
    const HT_Option_Definition* buffer_depth = option_definitions.add(
        HT_Option_Definition("Buffer Depth", HT_OPTION_TYPE_INTEGER, 1, HT_OPTION_SCOPE_DEVICE));
    HT_Option_Value depth(HT_OPTION_TYPE_INTEGER, 1);
    depth.set_as_int(0, 24);
    option_tables[0].add(HT_Option(buffer_depth, depth));
    for (int32_t i = 0; i < HT_FACE_PATTERN_COUNT; ++i) face_patterns[i] = HT_Face_Pattern(i);
}

HT_Device_Data::~HT_Device_Data() = default;

HT_Device_Data* HT_Device_Of(HT_Renderer_Data* renderer) {
    return dynamic_cast<HT_Device_Data*>(renderer);
}
