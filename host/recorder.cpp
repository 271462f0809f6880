// The recorder puts a recording action in each entry of a new device's
// table that the trace language has a statement for, keeping the device's
// own entry to call on. The first call into a device is the host's; calls
// that arrive while it runs (from the standard routines, on the host's or
// the render thread) are the device's own and go straight through.
#include "host/recorder.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "host/png_io.h"
#include "platform/winx.h"

namespace {

// The largest image the recorder writes out as a file.
constexpr int64_t MAX_RECORDED_PIXELS = int64_t(64) << 20;

struct Recorded_Device {
    std::string name;
    HT_Device_Data* device = nullptr;
    HT_Action_Table original;
    // Host calls into the device now running: more than 0 means a call that
    // arrives is the device's own.
    std::atomic<int> depth{0};
    std::map<std::string, std::string> options;  // as last written
    HT_Int_XY window = {-1, -1};
};

// Writes a float so that strtof reads back the same bits: the fewest digits
// that do, at most nine.
std::string number(float value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
    char text[32];
    for (int digits = 6; digits <= 9; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, double(value));
        if (std::memcmp(&value, &(const float&)(std::strtof(text, nullptr)), sizeof value) == 0) break;
    }
    return text;
}

std::string color(HT_RGB32 c) {
    char text[16];
    std::snprintf(text, sizeof text, "#%02x%02x%02x%02x", HT_Red(c), HT_Green(c), HT_Blue(c), HT_Alpha(c));
    return text;
}

std::string point(const HT_Point3D& p) { return number(p.x) + "," + number(p.y) + "," + number(p.z); }

std::string quoted(const std::string& text) {
    std::string result = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') result += '\\';
        result += c;
    }
    return result + "\"";
}

class Recorder {
public:
    static Recorder* instance() {
        static Recorder* recorder = open();
        return recorder;
    }

    std::mutex mutex;

    void write(const std::string& line) { std::fputs((line + "\n").c_str(), file_); }
    void flush() { std::fflush(file_); }

    Recorded_Device* find(HT_Renderer_Data* object) {
        auto found = devices_.find(object);
        return found != devices_.end() ? found->second.get() : nullptr;
    }
    Recorded_Device* add(HT_Device_Data* device) {
        auto record = std::make_unique<Recorded_Device>();
        record->device = device;
        record->name = ++device_count_ == 1 ? "main" : "device" + std::to_string(device_count_);
        record->original = device->actions;
        Recorded_Device* raw = record.get();
        devices_[device] = std::move(record);
        return raw;
    }
    void remove(HT_Device_Data* device) { devices_.erase(device); }

    // Makes the device the trace's current one.
    void use(const Recorded_Device& device) {
        if (current_ == device.name) return;
        write("use " + device.name);
        current_ = device.name;
    }
    void created(const std::string& name) { current_ = name; }
    void destroyed(const std::string& name) {
        if (current_ == name) current_.clear();
    }

    void rendition(const HT_Rendition* rendition);
    // A file next to the trace holding the image's pixels, or "" when they
    // cannot be written.
    std::string image_file(const HT_Shared_Image& image);
    std::string pixels_file(int width, int height, const uint8_t* top_row, int64_t row_step);
    // Depth values into a 16-bit PGM file next to the trace, or "".
    std::string depth_file(int width, int height, const uint8_t* top_row, int64_t row_step);

    // The pixels of the last colour read and the values of the last depth
    // read, so that handing them back can be written as the restore step.
    HT_Shared_Image last_color;
    HT_Shared_Image last_depth;

private:
    static Recorder* open() {
        const char* path = std::getenv("TOVREK_RECORD");
        if (path == nullptr || *path == '\0') return nullptr;
        FILE* file = std::fopen(path, "w");
        if (file == nullptr) {
            std::fprintf(stderr, "libvudoz: cannot record to %s: %s\n", path, std::strerror(errno));
            return nullptr;
        }
        return new Recorder(path, file);
    }

    Recorder(const std::string& path, FILE* file) : file_(file) {
        const std::filesystem::path trace(path);
        directory_ = trace.parent_path().string();
        stem_ = trace.stem().string();
        write("# host calls recorded by libvudoz");
        winx::Screen_Info screen;
        if (winx::screen_info(&screen) && (screen.depth == 8 || screen.depth == 16 || screen.depth == 24))
            write("screen " + std::to_string(screen.width) + " " + std::to_string(screen.height) + " " +
                  std::to_string(screen.depth));
    }

    FILE* file_;
    std::string directory_;
    std::string stem_;
    int device_count_ = 0;
    int file_count_ = 0;
    std::string current_;
    std::map<HT_Renderer_Data*, std::unique_ptr<Recorded_Device>> devices_;
    bool wrote_rendition_ = false;
    HT_Rendition written_;
    // Images already written, held so that their addresses stay theirs.
    std::vector<std::pair<HT_Shared_Image, std::string>> images_;
};

void Recorder::rendition(const HT_Rendition* r) {
    if (r == nullptr) return;
    const bool all = !wrote_rendition_;
    wrote_rendition_ = true;
    if (all || r->color.color != written_.color.color) write("color " + color(r->color.color));
    const HT_Line_Rendition& line = r->line;
    const HT_Line_Rendition& old_line = written_.line;
    if (all || line.pattern != old_line.pattern || line.cap_style != old_line.cap_style ||
        line.join_style != old_line.join_style || line.weight != old_line.weight || line.dashes != old_line.dashes) {
        std::string text = "line pattern=" + std::to_string(line.pattern) + " style=" + std::to_string(line.cap_style) +
                           "," + std::to_string(line.join_style) + " weight=" + std::to_string(line.weight);
        if (!line.dashes.empty()) {
            text += " dashes=";
            for (size_t i = 0; i < line.dashes.size(); ++i) text += (i ? "," : "") + std::to_string(line.dashes[i]);
        }
        write(text);
    }
    const HT_Face_Rendition& face = r->face;
    if (all || face.pattern != written_.face.pattern ||
        std::memcmp(face.user_rows, written_.face.user_rows, sizeof face.user_rows) != 0) {
        std::string text = "face pattern=" + std::to_string(face.pattern);
        // Rows left empty are what a replay starts with.
        if (std::any_of(std::begin(face.user_rows), std::end(face.user_rows), [](uint32_t row) { return row != 0; })) {
            text += " user=";
            char row[12];
            for (uint32_t bits : face.user_rows) {
                std::snprintf(row, sizeof row, "%08x", bits);
                text += row;
            }
        }
        write(text);
    }
    const HT_Texture* texture = r->color.texture.texture.get();
    const HT_Texture* old_texture = written_.color.texture.texture.get();
    if (all || texture != old_texture || r->color.texture.id != written_.color.texture.id ||
        r->surface.texture_interpolation != written_.surface.texture_interpolation ||
        (texture != nullptr && (texture->wrap_s != old_texture->wrap_s || texture->wrap_t != old_texture->wrap_t))) {
        std::string file = texture != nullptr ? image_file(texture->image()) : "";
        if (texture == nullptr || file.empty()) {
            write("texture none");
        } else {
            write("texture id=" + std::to_string(r->color.texture.id) + " wrap=" + std::to_string(texture->wrap_s) +
                  "," + std::to_string(texture->wrap_t) + " image=" + file +
                  " further=" + std::to_string(r->surface.texture_interpolation));
        }
    }
    written_.color.color = r->color.color;
    written_.color.texture = r->color.texture;
    written_.line = r->line;
    written_.face = r->face;
    written_.surface = r->surface;
}

std::string Recorder::image_file(const HT_Shared_Image& image) {
    if (image.is_null()) return "";
    for (const auto& known : images_)
        if (known.first.get() == image.get()) return known.second;
    if (image->format() != HT_IMAGE_FORMAT_RGB32 || image->pixels() == nullptr) return "";
    std::string file = pixels_file(image->width(), image->height(), image->pixels(), image->row_bytes());
    if (!file.empty()) images_.emplace_back(image, file);
    return file;
}

std::string Recorder::pixels_file(int width, int height, const uint8_t* top_row, int64_t row_step) {
    if (width < 1 || height < 1 || top_row == nullptr || int64_t(width) * height > MAX_RECORDED_PIXELS) return "";
    Rgba_Image rgba;
    rgba.width = width;
    rgba.height = height;
    rgba.bytes.resize(size_t(width) * size_t(height) * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            HT_RGB32 pixel;
            std::memcpy(&pixel, top_row + y * row_step + int64_t(x) * 4, 4);
            uint8_t* out = &rgba.bytes[(size_t(y) * size_t(width) + size_t(x)) * 4];
            out[0] = HT_Red(pixel);
            out[1] = HT_Green(pixel);
            out[2] = HT_Blue(pixel);
            out[3] = HT_Alpha(pixel);
        }
    const std::string file = stem_ + "-" + std::to_string(++file_count_) + ".png";
    std::string error;
    const std::string path = directory_.empty() ? file : (std::filesystem::path(directory_) / file).string();
    if (!write_png(path, rgba, &error)) {
        std::fprintf(stderr, "libvudoz: %s\n", error.c_str());
        return "";
    }
    return file;
}

std::string Recorder::depth_file(int width, int height, const uint8_t* top_row, int64_t row_step) {
    const std::string file = stem_ + "-" + std::to_string(++file_count_) + ".pgm";
    const std::string path = directory_.empty() ? file : (std::filesystem::path(directory_) / file).string();
    std::string error;
    if (row_step > INT32_MAX || !write_pgm16(path, width, height, top_row, int(row_step), &error)) {
        std::fprintf(stderr, "libvudoz: %s\n", error.c_str());
        return "";
    }
    return file;
}

// One host call: the statement is written under the recorder's lock, then
// the device's own entry runs with the device marked busy.
class Host_Call {
public:
    explicit Host_Call(HT_Renderer_Data* object) {
        recorder_ = Recorder::instance();
        if (recorder_ == nullptr) return;
        std::lock_guard<std::mutex> lock(recorder_->mutex);
        device_ = recorder_->find(object);
    }
    ~Host_Call() {
        if (entered_ && device_ != nullptr) device_->depth.fetch_sub(1);
    }
    Host_Call(const Host_Call&) = delete;
    Host_Call& operator=(const Host_Call&) = delete;

    const HT_Action_Table& original() const { return device_->original; }
    bool known() const { return device_ != nullptr; }

    // Writes what `statement` returns when this call is the host's.
    template <class Statement>
    void record(const HT_Rendition* rendition, Statement statement) {
        const bool outermost = device_->depth.fetch_add(1) == 0;
        entered_ = true;
        if (!outermost) return;
        std::lock_guard<std::mutex> lock(recorder_->mutex);
        recorder_->use(*device_);
        recorder_->rendition(rendition);
        statement(*recorder_);
    }

private:
    Recorder* recorder_ = nullptr;
    Recorded_Device* device_ = nullptr;
    bool entered_ = false;
};

std::string points_text(int count, const HT_Point3D* points, const HT_RGB32* colors,
                        const HT_Parameter* parameters) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += " " + point(points[i]);
        if (colors != nullptr) text += "@" + color(colors[i]);
        if (parameters != nullptr) text += "/" + number(parameters[i].s) + "," + number(parameters[i].t);
    }
    return text;
}

// A primitive statement, or a comment when the trace language cannot hold
// the call (no points where some are needed).
void primitive(Recorder& r, const char* name, const char* flag, int count, const HT_Point3D* points,
               const HT_RGB32* colors, const HT_Parameter* parameters, bool colors_needed, bool parameters_needed) {
    if (count < 1 || points == nullptr || (colors_needed && colors == nullptr) ||
        (parameters_needed && parameters == nullptr)) {
        r.write(std::string("# ") + name + " with " + std::to_string(count) + " points and missing arrays");
        return;
    }
    r.write(std::string(name) + flag + points_text(count, points, colors, parameters));
}

// Writes the host's call, then makes it on the device's own entry.
template <class Function, class Statement, class... Arguments>
void recorded_call(HT_Renderer_Data* renderer, HT_Action<Function> HT_Action_Table::*entry,
                   const HT_Rendition* rendition, Statement statement, Arguments... arguments) {
    Host_Call call(renderer);
    if (!call.known()) return;
    call.record(rendition, statement);
    const HT_Action<Function>& own = call.original().*entry;
    if (own.function != nullptr) own.function(own.object, rendition, arguments...);
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
        [&](Recorder& r) { primitive(r, Name, "", count, points, nullptr, nullptr, false, false); }, count, points);
}

template <HT_Action<HT_Colorized_Polyline_Action> HT_Action_Table::*Entry, const char* Name>
void record_colorized(HT_Renderer_Data* renderer, const HT_Rendition* rendition, int count, const HT_Point3D* points,
                      const HT_RGB32* colors, char one_color) {
    recorded_call(
        renderer, Entry, rendition,
        [&](Recorder& r) {
            primitive(r, Name, one_color ? " one_color" : "", count, points, colors, nullptr, true, false);
        },
        count, points, colors, one_color);
}

template <HT_Action<HT_Gouraud_Polyline_Action> HT_Action_Table::*Entry, const char* Name>
void record_gouraud(HT_Renderer_Data* renderer, const HT_Rendition* rendition, int count, const HT_Point3D* points,
                    const HT_RGB32* colors) {
    recorded_call(
        renderer, Entry, rendition,
        [&](Recorder& r) { primitive(r, Name, "", count, points, colors, nullptr, true, false); }, count, points,
        colors);
}

// The trace gives every vertex the value 0, which is all that affine
// texturing (the host's usual) passes.
void record_textured_polytriangle(HT_Renderer_Data* renderer, const HT_Rendition* rendition, int count,
                                  const HT_Point3D* points, const HT_RGB32* colors, const HT_Parameter* parameters,
                                  const float* vertex_values) {
    recorded_call(renderer, &HT_Action_Table::draw_dc_textured_polytriangle, rendition,
                  [&](Recorder& r) {
                      primitive(r, "textured_polytriangle", "", count, points, colors, parameters, true, true);
                  },
                  count, points, colors, parameters, vertex_values);
}

std::string bounds_text(int left, int right, int bottom, int top) {
    return " " + std::to_string(left) + " " + std::to_string(right) + " " + std::to_string(bottom) + " " +
           std::to_string(top);
}

void record_rectangle(HT_Renderer_Data* renderer, const HT_Rendition* rendition, int left, int right, int bottom,
                      int top) {
    recorded_call(renderer, &HT_Action_Table::draw_dc_rectangle, rendition,
                  [&](Recorder& r) { r.write("rectangle" + bounds_text(left, right, bottom, top)); }, left,
                  right, bottom, top);
}

void record_prepare_rectangle(HT_Renderer_Data* renderer, const HT_Rendition* rendition, int left, int right,
                              int bottom, int top) {
    recorded_call(renderer, &HT_Action_Table::prepare_dc_rectangle, rendition,
                  [&](Recorder& r) { r.write("prepare_rectangle" + bounds_text(left, right, bottom, top)); },
                  left, right, bottom, top);
}

void record_dot(HT_Renderer_Data* renderer, const HT_Rendition* rendition, const HT_Point3D* p) {
    recorded_call(renderer, &HT_Action_Table::draw_dc_dot, rendition,
                  [&](Recorder& r) { primitive(r, "dot", "", 1, p, nullptr, nullptr, false, false); }, p);
}

void record_colorized_dot(HT_Renderer_Data* renderer, const HT_Rendition* rendition, const HT_Point3D* p,
                          const HT_RGB32* c) {
    recorded_call(renderer, &HT_Action_Table::draw_dc_colorized_dot, rendition,
                  [&](Recorder& r) { primitive(r, "colorized_dot", "", 1, p, c, nullptr, true, false); },
                  p, c);
}

bool corners_known(const HT_Point3D* start, const HT_Point3D* end) { return start != nullptr && end != nullptr; }

std::string corners_text(const HT_Point3D* start, const HT_Point3D* end) {
    return " " + point(*start) + " " + point(*end);
}

// The width and height the device takes from two corners, truncated toward
// zero; 0 when they give no rectangle.
void span_of(const HT_Point3D& start, const HT_Point3D& end, int64_t* width, int64_t* height) {
    *width = *height = 0;
    auto fits = [](float v) { return std::isfinite(v) && std::fabs(v) < 2147483648.0f; };
    if (!fits(start.x) || !fits(start.y) || !fits(end.x) || !fits(end.y)) return;
    *width = std::max<int64_t>(0, int64_t(end.x) - int64_t(start.x) + 1);
    *height = std::max<int64_t>(0, int64_t(start.y) - int64_t(end.y) + 1);
}

// The host's restore step when it hands back what it read last; otherwise
// the pixels in a file of their own.
void image_statement(Recorder& r, const HT_Point3D* start, const HT_Point3D* end, int row_step, const void* pixels) {
    if (!corners_known(start, end)) return r.write("# image without corners");
    if (!r.last_color.is_null() && pixels == r.last_color->pixels() && row_step == r.last_color->row_bytes())
        return r.write("redraw" + corners_text(start, end));
    int64_t width = 0, height = 0;
    span_of(*start, *end, &width, &height);
    if (width < 1 || height < 1 || pixels == nullptr || width * height > MAX_RECORDED_PIXELS)
        return r.write("# image of no pixels the trace can hold");
    const int64_t step = row_step != 0 ? row_step : width * 4;
    const std::string file = r.pixels_file(int(width), int(height), static_cast<const uint8_t*>(pixels), step);
    if (file.empty()) return r.write("# image whose pixels could not be written");
    std::string text = "image" + corners_text(start, end) + " " + file + " row_step=" + std::to_string(std::llabs(step));
    if (step < 0) text += " bottom_up";
    r.write(text);
}

void record_image(HT_Renderer_Data* renderer, const HT_Rendition* rendition, const HT_Point3D* start,
                  const HT_Point3D* end, int row_step, const void* pixels) {
    recorded_call(renderer, &HT_Action_Table::draw_dc_image, rendition, [&](Recorder& r) { image_statement(r, start, end, row_step, pixels); },
                  start, end, row_step, pixels);
}

// Depth handed back from the last read is the restore step; one value
// everywhere is written as that value, any other depth picture into a PGM
// file next to the trace.
void depth_statement(Recorder& r, const HT_Point3D* start, const HT_Point3D* end, int row_step,
                     const uint16_t* values) {
    if (!corners_known(start, end)) return r.write("# write_depth without corners");
    if (!r.last_depth.is_null() && static_cast<const void*>(values) == r.last_depth->pixels())
        return r.write("restore_depth" + corners_text(start, end));
    int64_t width = 0, height = 0;
    span_of(*start, *end, &width, &height);
    if (width < 1 || height < 1 || values == nullptr || width * height > MAX_RECORDED_PIXELS)
        return r.write("# write_depth of no values the trace can hold");
    // The device reads rows width x 2 bytes apart when the step is 0 or less.
    const int64_t step = row_step > 0 ? row_step : width * 2;
    const uint8_t* top = reinterpret_cast<const uint8_t*>(values);
    uint16_t first;
    std::memcpy(&first, top, 2);
    bool uniform = true;
    for (int64_t y = 0; y < height && uniform; ++y)
        for (int64_t x = 0; x < width && uniform; ++x) {
            uint16_t value;
            std::memcpy(&value, top + y * step + x * 2, 2);
            uniform = value == first;
        }
    const std::string source = uniform ? std::to_string(first) : r.depth_file(int(width), int(height), top, step);
    if (source.empty()) return r.write("# write_depth whose values could not be written");
    r.write("write_depth" + corners_text(start, end) + " " + source +
            (row_step != 0 ? " row_step=" + std::to_string(row_step) : ""));
}

void record_write_depth(HT_Renderer_Data* renderer, const HT_Rendition* rendition, const HT_Point3D* start,
                        const HT_Point3D* end, int row_step, const uint16_t* values) {
    recorded_call(renderer, &HT_Action_Table::write_dc_depth, rendition, [&](Recorder& r) { depth_statement(r, start, end, row_step, values); },
                  start, end, row_step, values);
}

template <bool Depth>
void record_read(HT_Renderer_Data* renderer, const HT_Rendition* rendition, const HT_Point3D* start,
                 const HT_Point3D* end, HT_Shared_Image& result) {
    Host_Call call(renderer);
    if (!call.known()) return;
    call.record(rendition, [&](Recorder& r) {
        if (!corners_known(start, end)) return r.write("# read without corners");
        r.write(std::string(Depth ? "read_depth" : "read_color") + corners_text(start, end));
    });
    const auto& own = Depth ? call.original().read_dc_depth : call.original().read_dc_color;
    if (own.function != nullptr) own.function(own.object, rendition, start, end, result);
    Recorder* recorder = Recorder::instance();
    std::lock_guard<std::mutex> lock(recorder->mutex);
    (Depth ? recorder->last_depth : recorder->last_color) = result;
}

// Entries the device left empty stay empty.
template <class Function>
void wrap(HT_Device_Data* device, HT_Action<Function>& entry, Function recording) {
    if (entry.function != nullptr) HT_Install_Action(device, entry, recording);
}

std::string option_value(const HT_Option& option) {
    const HT_Option_Value& value = option.value();
    if (value.is_null()) return "";
    switch (option.definition()->type()) {
    case HT_OPTION_TYPE_INTEGER: return std::to_string(value.as_int(0));
    case HT_OPTION_TYPE_BOOLEAN: return value.as_boolean(0) ? "on" : "off";
    case HT_OPTION_TYPE_FLOAT: return number(value.as_float(0));
    default: return "";
    }
}

// Runs `write` under the recorder's lock when the device is recorded.
template <class Write>
void with_recorded(HT_Device_Data* device, Write write) {
    Recorder* recorder = Recorder::instance();
    if (recorder == nullptr || device == nullptr) return;
    std::lock_guard<std::mutex> lock(recorder->mutex);
    if (Recorded_Device* record = recorder->find(device)) write(*recorder, *record);
}

}  // namespace

void HT_Record_New_Device(HT_Device_Data* device) {
    Recorder* recorder = Recorder::instance();
    if (recorder == nullptr) return;
    std::lock_guard<std::mutex> lock(recorder->mutex);
    if (device == nullptr) {
        recorder->write("device unused expect=null");
        return;
    }
    Recorded_Device* record = recorder->add(device);
    recorder->write("device " + record->name);
    recorder->created(record->name);
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

void HT_Record_Start(HT_Device_Data* device) {
    with_recorded(device, [device](Recorder& recorder, Recorded_Device& record) {
        recorder.use(record);
        const HT_Option_Table& table = device->option_tables[0];
        for (size_t i = 0; i < table.size(); ++i) {
            const HT_Option* option = table.at(i);
            if (option == nullptr || option->definition() == nullptr) continue;
            const std::string name = option->definition()->name().c_str();
            const std::string value = option_value(*option);
            if (value.empty() || record.options[name] == value) continue;
            record.options[name] = value;
            recorder.write("option " + quoted(name) + " " + value);
        }
        const HT_Int_XY size = device->current_options.window_size();
        if (size.x != record.window.x || size.y != record.window.y) {
            recorder.write("window " + std::to_string(size.x) + " " + std::to_string(size.y));
            record.window = size;
        }
        recorder.write("start");
    });
}

void HT_Record_Show(HT_Device_Data* device, int) {
    with_recorded(device, [](Recorder& recorder, Recorded_Device& record) {
        recorder.use(record);
        recorder.write("show");
        recorder.flush();
    });
}

void HT_Record_Destroy(HT_Device_Data* device) {
    with_recorded(device, [device](Recorder& recorder, Recorded_Device& record) {
        recorder.write("destroy " + record.name);
        recorder.destroyed(record.name);
        recorder.flush();
        recorder.remove(device);
    });
}
