// The session generator and its round trip.
#include "tests/round_trip/host_session.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include "host/loader.h"
#include "tests/round_trip/recorded_host.h"

namespace {

// The fuzzer's bytes, read from the front; zeros once they run out.
class Byte_Source {
public:
    Byte_Source(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool exhausted() const { return at_ >= size_; }
    uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    bool flag() { return (byte() & 1) != 0; }
    // From `low` to `high`, both included.
    int range(int low, int high) {
        const uint32_t value = uint32_t(byte()) | uint32_t(byte()) << 8;
        return low + int(value % uint32_t(high - low + 1));
    }
    HT_RGB32 color() {
        const uint8_t red = byte(), green = byte(), blue = byte();
        // Mostly opaque: an alpha below 255 asks the board for a fast draw.
        const uint8_t alpha = flag() ? 255 : byte();
        return HT_Make_RGB32(red, green, blue, alpha);
    }
    // Mostly on or near the window; now and then in halves, far away or not
    // a number at all.
    float coordinate(int side) {
        switch (byte() % 16) {
        case 0: return std::numeric_limits<float>::quiet_NaN();
        case 1: return float(range(-100000, 100000));
        case 2: return float(range(-4 * side, 4 * side)) / 4.0f;
        default: return float(range(-8, side + 8));
        }
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

struct Device_Facts {
    HT_Device_Data* device;
    bool accelerated;
    bool fast_readback = true;  // the driver's default
};

class Session {
public:
    Session(Byte_Source& in, Recorded_Host& host, int width, int height)
        : in_(in), host_(host), width_(width), height_(height) {}

    void run() {
        for (int call = 0; call < SESSION_MAX_CALLS && !in_.exhausted(); ++call) step();
        if (current_ != nullptr) host_.show(current_->device, in_.flag());
    }

private:
    void step();
    void make_device();
    void set_options(HT_Device_Data* device);
    void start();
    void rendition_change();
    void texture();
    void primitive();
    void rectangle();
    void image();
    void write_depth();
    void read(bool depth);
    void hand_back_color();
    void hand_back_depth();
    HT_Point3D point() {
        return {in_.coordinate(width_), in_.coordinate(height_), float(in_.range(-70000, 70000))};
    }
    const HT_Action_Table& actions() const { return current_->device->actions; }

    Byte_Source& in_;
    Recorded_Host& host_;
    int width_, height_;
    std::vector<std::unique_ptr<Device_Facts>> devices_;
    Device_Facts* current_ = nullptr;
    HT_Shared_Image last_color_, last_depth_;
    // Texture images by id, for hosts that repaint one under a new id.
    HT_Shared_Image texture_image_;
};

void Session::step() {
    const int kind = in_.range(0, 15);
    if (current_ == nullptr || kind == 0) return make_device();
    switch (kind) {
    case 1: current_ = devices_[size_t(in_.range(0, int(devices_.size()) - 1))].get(); return;
    case 2: return start();
    case 3: return host_.show(current_->device, in_.flag());
    case 4: {
        const bool directly = in_.flag();
        host_.destroy(current_->device, directly);
        for (auto it = devices_.begin(); it != devices_.end(); ++it)
            if (it->get() == current_) {
                devices_.erase(it);
                break;
            }
        current_ = devices_.empty() ? nullptr : devices_.front().get();
        return;
    }
    case 5: return rendition_change();
    case 6: return texture();
    case 7: case 8: return primitive();
    case 9: return rectangle();
    case 10: return image();
    case 11: return write_depth();
    case 12: return read(in_.flag());
    case 13: return hand_back_color();
    case 14: return hand_back_depth();
    default: return primitive();
    }
}

// The board and the registry, then the object, its options and its start.
// The board is accelerated unless the profile or the control panel says
// otherwise (the screen is 16 bits deep).
void Session::make_device() {
    if (devices_.size() >= 3) return;
    winx::Board_Profile profile;
    bool accelerated = true;
    switch (in_.range(0, 3)) {
    case 1: profile.boards = 2; accelerated = false; break;
    case 2: profile.video_memory = 4096; accelerated = false; break;
    default: break;
    }
    winx::set_board_profile(profile);
    winx::registry_clear();
    switch (in_.range(0, 3)) {
    case 1: winx::registry_set_dword(CONTROL_PANEL_KEY, "User3d.ZBuffer", 0); accelerated = false; break;
    case 2: winx::registry_set_dword(CONTROL_PANEL_KEY, "User3d.DoubleBuffer", in_.range(1, 3)); break;
    case 3: winx::registry_remove_key(CONTROL_PANEL_KEY); break;
    default: break;
    }
    HT_Device_Data* device = host_.make_device();
    if (device == nullptr) return;
    devices_.push_back(std::make_unique<Device_Facts>(Device_Facts{device, accelerated}));
    current_ = devices_.back().get();
    set_options(device);
    start();
}

void Session::set_options(HT_Device_Data* device) {
    static const int DEPTHS[] = {0, 1, 16, 24, 32};
    HT_Option_Table& table = device->option_tables[0];
    if (HT_Option* depth = table.find(HT_String("Buffer Depth"))) {
        HT_Option_Value value(HT_OPTION_TYPE_INTEGER, 1);
        value.set_as_int(0, DEPTHS[in_.range(0, 4)]);
        depth->set(value);
    }
    for (const char* name : {"Fast Readback", "Double Buffering", "Dithering"}) {
        HT_Option* option = table.find(HT_String(name));
        if (option == nullptr || in_.flag()) continue;
        HT_Option_Value value(HT_OPTION_TYPE_BOOLEAN, 1);
        value.set_as_boolean(0, in_.flag());
        option->set(value);
    }
}

// A start may resize the window under any number of live devices, as a
// host's may: the devices started before keep drawing into the same window.
void Session::start() {
    if (in_.range(0, 3) == 0) {
        width_ = in_.range(1, SESSION_MAX_WINDOW_SIDE);
        height_ = in_.range(1, SESSION_MAX_WINDOW_SIDE);
        host_.resize(width_, height_);
    }
    const HT_Option* fast = current_->device->option_tables[0].find(HT_String("Fast Readback"));
    current_->fast_readback = fast != nullptr && !fast->value().is_null() && fast->value().as_boolean(0);
    host_.start(current_->device, in_.flag());
    // Hosts clear the window, depths too, after a start.
    const HT_RGB32 color = host_.rendition.color.color;
    host_.rendition.color.color = in_.color();
    actions().draw_dc_rectangle.function(actions().draw_dc_rectangle.object, &host_.rendition, 0, width_ - 1, 0,
                                         height_ - 1);
    host_.rendition.color.color = color;
}

void Session::rendition_change() {
    HT_Rendition& r = host_.rendition;
    switch (in_.range(0, 3)) {
    case 0: r.color.color = in_.color(); break;
    case 1:
        r.line.pattern = in_.range(0, 10);
        r.line.weight = in_.range(0, 4);
        r.line.cap_style = in_.range(0, 2);
        r.line.join_style = in_.range(0, 2);
        r.line.dashes.clear();
        for (int i = in_.range(0, 4); i > 0; --i) r.line.dashes.push_back(in_.range(1, 9));
        break;
    case 2:
        r.face.pattern = in_.range(0, 73);
        for (uint32_t& row : r.face.user_rows) row = in_.flag() ? 0 : uint32_t(in_.range(0, 65535)) * 65537u;
        break;
    default: r.surface.texture_interpolation = in_.flag() ? HT_TEXTURE_PERSPECTIVE : HT_TEXTURE_AFFINE; break;
    }
}

// A new texture object, its image new or the last one repainted.
void Session::texture() {
    HT_Texture_Reference& reference = host_.rendition.color.texture;
    if (in_.range(0, 4) == 0) {
        reference.id = 0;
        reference.texture.reset();
        return;
    }
    if (texture_image_.is_null() || in_.flag()) {
        const int side_s = in_.range(1, 16), side_t = in_.range(1, 16);
        texture_image_ = HT_Shared_Image({0, 0, 0}, side_s, side_t, HT_IMAGE_FORMAT_RGB32, 0, nullptr, false);
        if (texture_image_.is_null() || texture_image_->pixels() == nullptr) return;
    }
    const HT_Image& image = *texture_image_.get();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const HT_RGB32 pixel = in_.color();
            std::memcpy(image.pixels() + size_t(y) * size_t(image.row_bytes()) + size_t(x) * 4, &pixel, 4);
        }
    reference.id = in_.range(1, 6);
    reference.texture = HT_Texture_Handle(
        new HT_Texture(HT_Wrap_Mode(in_.range(0, 4)), HT_Wrap_Mode(in_.range(0, 4)), texture_image_));
}

void Session::primitive() {
    const int kind = in_.range(0, 10);
    const int count = kind < 2 ? 1 : in_.range(1, 12);
    const bool one_color = in_.flag();
    Guarded_Bytes points(sizeof(HT_Point3D) * size_t(count));
    Guarded_Bytes colors(sizeof(HT_RGB32) * size_t(one_color && (kind == 3 || kind == 6) ? 1 : count));
    Guarded_Bytes parameters(sizeof(HT_Parameter) * size_t(count));
    Guarded_Bytes values(sizeof(float) * size_t(count));
    auto* p = reinterpret_cast<HT_Point3D*>(points.data());
    auto* c = reinterpret_cast<HT_RGB32*>(colors.data());
    auto* t = reinterpret_cast<HT_Parameter*>(parameters.data());
    auto* v = reinterpret_cast<float*>(values.data());
    for (int i = 0; i < count; ++i) {
        p[i] = point();
        t[i] = {float(in_.range(-64, 64)) / 16.0f, float(in_.range(-64, 64)) / 16.0f, 0};
        v[i] = float(in_.range(-4, 64)) / 16.0f;
    }
    for (size_t i = 0; i < colors.size() / sizeof(HT_RGB32); ++i) c[i] = in_.color();
    const HT_Action_Table& a = actions();
    const HT_Rendition* r = &host_.rendition;
    switch (kind) {
    case 0: return a.draw_dc_dot.function(a.draw_dc_dot.object, r, p);
    case 1: return a.draw_dc_colorized_dot.function(a.draw_dc_colorized_dot.object, r, p, c);
    case 2: return a.draw_dc_polyline.function(a.draw_dc_polyline.object, r, count, p);
    case 3:
        return a.draw_dc_colorized_polyline.function(a.draw_dc_colorized_polyline.object, r, count, p, c, one_color);
    case 4: return a.draw_dc_gouraud_polyline.function(a.draw_dc_gouraud_polyline.object, r, count, p, c);
    case 5: return a.draw_dc_polytriangle.function(a.draw_dc_polytriangle.object, r, count, p);
    case 6:
        return a.draw_dc_colorized_polytriangle.function(a.draw_dc_colorized_polytriangle.object, r, count, p, c,
                                                         one_color);
    case 7: return a.draw_dc_gouraud_polytriangle.function(a.draw_dc_gouraud_polytriangle.object, r, count, p, c);
    default:
        return a.draw_dc_textured_polytriangle.function(a.draw_dc_textured_polytriangle.object, r, count, p, c, t,
                                                        in_.flag() ? v : nullptr);
    }
}

void Session::rectangle() {
    const int left = in_.range(-8, width_ + 8), right = in_.range(-8, width_ + 8);
    const int bottom = in_.range(-8, height_ + 8), top = in_.range(-8, height_ + 8);
    const HT_Action<HT_Rectangle_Action>& entry = in_.flag() ? actions().draw_dc_rectangle : actions().prepare_dc_rectangle;
    entry.function(entry.object, &host_.rendition, left, right, bottom, top);
}

// Corners of a rectangle of at most 64 x 64 pixels, anywhere near the
// window, now and then starting half a pixel in.
void corners(Byte_Source& in, int width, int height, HT_Point3D* start, HT_Point3D* end, int* columns, int* rows) {
    *columns = in.range(1, 64);
    *rows = in.range(1, 64);
    const float half = in.flag() ? 0.5f : 0.0f;
    start->x = float(in.range(-32, width + 8)) + half;
    start->y = float(in.range(-8, height + 32)) + half;
    start->z = float(in.range(-100, 100));
    end->x = start->x + float(*columns - 1);
    end->y = start->y - float(*rows - 1);
    end->z = start->z;
    // Truncation may take a column or row away from a half-pixel start.
    *columns = int(std::trunc(end->x)) - int(std::trunc(start->x)) + 1;
    *rows = int(std::trunc(start->y)) - int(std::trunc(end->y)) + 1;
}

// The row step: whole rows, padded rows, rows stored bottom first, or 0
// (the first row for every row).
int row_step_for(Byte_Source& in, int row_length) {
    switch (in.range(0, 4)) {
    case 0: return 0;
    case 1: return -row_length;
    case 2: return row_length + 4 * in.range(1, 8);
    default: return row_length;
    }
}

void Session::image() {
    HT_Point3D start, end;
    int columns = 0, rows = 0;
    corners(in_, width_, height_, &start, &end, &columns, &rows);
    if (columns < 1 || rows < 1) return;
    const int step = row_step_for(in_, columns * 4);
    const HT_RGB32 first = in_.color();
    // A marker image hands over its first pixel only.
    const bool marker = HT_Alpha(first) != 255 && current_->accelerated && in_.flag();
    const size_t reach = size_t(rows - 1) * size_t(std::abs(step)) + size_t(columns) * 4;
    Guarded_Bytes bytes(marker ? 4 : reach);
    uint8_t* top = bytes.data() + (step < 0 && !marker ? reach - size_t(columns) * 4 : 0);
    for (size_t i = 0; i + 4 <= bytes.size(); i += 4) {
        const HT_RGB32 pixel = in_.color();
        std::memcpy(bytes.data() + i, &pixel, 4);
    }
    std::memcpy(top, &first, 4);
    actions().draw_dc_image.function(actions().draw_dc_image.object, &host_.rendition, &start, &end, step, top);
}

void Session::write_depth() {
    HT_Point3D start, end;
    int columns = 0, rows = 0;
    corners(in_, width_, height_, &start, &end, &columns, &rows);
    if (columns < 1 || rows < 1) return;
    // The board puts back what it kept and reads no value.
    const bool board = current_->accelerated && current_->fast_readback && in_.flag();
    int step = in_.range(0, 3) == 0 ? columns * 2 + 2 * in_.range(1, 8) : 0;
    if (in_.range(0, 5) == 0) step = -in_.range(1, 64);
    const size_t reach = size_t(rows - 1) * size_t(step > 0 ? step : columns * 2) + size_t(columns) * 2;
    Guarded_Bytes bytes(board ? 2 : reach);
    const uint16_t level = uint16_t(in_.range(0, 65535));
    const bool ramp = in_.flag();
    for (size_t i = 0; i + 2 <= bytes.size(); i += 2) {
        const uint16_t value = ramp ? uint16_t(level + i * 97) : level;
        std::memcpy(bytes.data() + i, &value, 2);
    }
    actions().write_dc_depth.function(actions().write_dc_depth.object, &host_.rendition, &start, &end, step,
                                      reinterpret_cast<const uint16_t*>(bytes.data()));
}

void Session::read(bool depth) {
    HT_Point3D start, end;
    int columns = 0, rows = 0;
    corners(in_, width_, height_, &start, &end, &columns, &rows);
    const HT_Action<HT_Read_Action>& entry = depth ? actions().read_dc_depth : actions().read_dc_color;
    HT_Shared_Image result;
    entry.function(entry.object, &host_.rendition, &start, &end, result);
    (depth ? last_depth_ : last_color_) = result;
}

// The last colour read drawn back: whole or a part of it, as read or
// painted into first, with its own row step or another.
void Session::hand_back_color() {
    if (last_color_.is_null() || last_color_->pixels() == nullptr) return;
    HT_Image& image = *last_color_.get();
    if (in_.flag()) {
        const size_t at = size_t(in_.range(0, image.height() - 1)) * size_t(image.row_bytes()) +
                          size_t(in_.range(0, image.width() - 1)) * 4;
        const HT_RGB32 paint = in_.color();
        std::memcpy(image.pixels() + at, &paint, 4);
    }
    HT_Point3D start = image.origin(), end = image.origin();
    int columns = image.width(), rows = image.height();
    if (in_.flag()) {
        columns = in_.range(1, columns);
        rows = in_.range(1, rows);
    }
    end.x = start.x + float(columns - 1);
    end.y = start.y - float(rows - 1);
    const int step = in_.range(0, 3) == 0 && rows == 1 ? 0 : image.row_bytes();
    actions().draw_dc_image.function(actions().draw_dc_image.object, &host_.rendition, &start, &end, step,
                                     image.pixels());
}

void Session::hand_back_depth() {
    if (last_depth_.is_null() || last_depth_->pixels() == nullptr) return;
    HT_Image& image = *last_depth_.get();
    if (in_.flag()) {
        const size_t at = size_t(in_.range(0, image.height() - 1)) * size_t(image.row_bytes()) +
                          size_t(in_.range(0, image.width() - 1)) * 2;
        const uint16_t value = uint16_t(in_.range(0, 65535));
        std::memcpy(image.pixels() + at, &value, 2);
    }
    HT_Point3D start = image.origin(), end = image.origin();
    end.x = start.x + float(image.width() - 1);
    end.y = start.y - float(image.height() - 1);
    // Row step 0 reads rows width x 2 bytes apart, within the image's rows.
    const int step = in_.flag() ? 0 : image.row_bytes();
    actions().write_dc_depth.function(actions().write_dc_depth.object, &host_.rendition, &start, &end, step,
                                      reinterpret_cast<const uint16_t*>(image.pixels()));
}

}  // namespace

void prepare_for_sessions(const std::string& module_path) {
    HT_Driver_Module module;
    if (!module.load(module_path)) return;
    HWND window = winx::create_window(8, 8, "first construction");
    if (HT_Device_Data* device = module.create_device()) HD_Destroy_Device(device);
    if (window != nullptr) winx::destroy_window(window);
}

Session_Outcome run_generated_session(const uint8_t* data, size_t size, const std::string& module_path,
                                      const std::string& folder) {
    Session_Outcome outcome;
    outcome.trace_path = folder + "/session.trace";
    Byte_Source in(data, size);
    winx::registry_clear();
    winx::set_board_profile(winx::Board_Profile{});
    const int width = in.range(1, SESSION_MAX_WINDOW_SIDE), height = in.range(1, SESSION_MAX_WINDOW_SIDE);
    std::optional<winx::Window_Snapshot> recorded;
    {
        Recorded_Host host(module_path, outcome.trace_path, width, height);
        if (!host.recording()) {
            outcome.problem = "no recording: " + host.error();
            return outcome;
        }
        Session(in, host, width, height).run();
        host.finish();
        recorded = host.last_shown();
    }
    outcome.recorded = true;
    const Replayed_Trace replayed = replay_in_process(module_path, outcome.trace_path, folder);
    if (!replayed.read) {
        outcome.problem = "the trace cannot be read: " + replayed.read_error;
        return outcome;
    }
    if (!replayed.failures.empty()) {
        outcome.problem = "a statement failed: " + replayed.failures.front();
        return outcome;
    }
    outcome.differing_pixels = pixels_differing(recorded, replayed.last_shown);
    if (outcome.differing_pixels != 0)
        outcome.problem = std::to_string(outcome.differing_pixels) + " pixels differ after the last show";
    return outcome;
}
