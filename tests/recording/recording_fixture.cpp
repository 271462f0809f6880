#include "tests/recording/recording_fixture.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/process.h"

namespace {

void set_option(HT_Device_Data* device, const char* name, HT_Option_Type type, int32_t value) {
    HT_Option* option = device->option_tables[0].find(HT_String(name));
    ASSERT_NE(option, nullptr) << name;
    HT_Option_Value setting(type, 1);
    if (type == HT_OPTION_TYPE_BOOLEAN) setting.set_as_boolean(0, value != 0);
    else setting.set_as_int(0, value);
    option->set(setting);
}

}  // namespace

void Recorded_Session::SetUp() {
    folder_ = make_temporary_folder();
    winx::registry_clear();
    winx::set_board_profile(winx::Board_Profile{});
}

void Recorded_Session::TearDown() {
    host_.reset();
    std::filesystem::remove_all(folder_);
}

void Recorded_Session::begin(const std::string& trace_name, int buffer_depth, bool fast_readback, bool directly) {
    trace_path_ = folder_ + "/" + trace_name;
    host_ = std::make_unique<Recorded_Host>(TOVREK_MODULE_PATH, trace_path_, 64, 48);
    ASSERT_TRUE(host_->recording()) << host_->error();
    device_ = host_->make_device();
    ASSERT_NE(device_, nullptr);
    set_option(device_, "Buffer Depth", HT_OPTION_TYPE_INTEGER, buffer_depth);
    set_option(device_, "Fast Readback", HT_OPTION_TYPE_BOOLEAN, fast_readback);
    host_->start(device_, directly);
    // A host clears the window, and with it the depths, before it draws.
    host_->rendition.color.color = HT_Make_RGB32(0, 0, 0);
    const auto& clear = device_->actions.draw_dc_rectangle;
    clear.function(clear.object, &host_->rendition, 0, 63, 0, 47);
    host_->rendition.color.color = HT_Make_RGB32(255, 255, 255);
}

void Recorded_Session::expect_same_replay(bool show_directly) {
    host_->show(device_, show_directly);
    host_->finish();
    ASSERT_TRUE(host_->last_shown().has_value());
    const Replayed_Trace replayed = replay_in_process(TOVREK_MODULE_PATH, trace_path_, folder_);
    ASSERT_TRUE(replayed.read) << replayed.read_error;
    for (const std::string& failure : replayed.failures) ADD_FAILURE() << failure;
    EXPECT_EQ(pixels_differing(host_->last_shown(), replayed.last_shown), 0u) << trace_text();
}

std::string Recorded_Session::trace_text() const {
    std::ifstream file(trace_path_, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

void Recorded_Session::image(const HT_Point3D& start, const HT_Point3D& end, int row_step, const void* pixels) {
    const auto& entry = device_->actions.draw_dc_image;
    entry.function(entry.object, &host_->rendition, &start, &end, row_step, pixels);
}

void Recorded_Session::depth(const HT_Point3D& start, const HT_Point3D& end, int row_step, const uint16_t* values) {
    const auto& entry = device_->actions.write_dc_depth;
    entry.function(entry.object, &host_->rendition, &start, &end, row_step, values);
}

HT_Shared_Image Recorded_Session::read(bool depth, const HT_Point3D& start, const HT_Point3D& end) {
    const auto& entry = depth ? device_->actions.read_dc_depth : device_->actions.read_dc_color;
    HT_Shared_Image result;
    entry.function(entry.object, &host_->rendition, &start, &end, result);
    return result;
}

void Recorded_Session::triangle(const HT_Point3D& a, const HT_Point3D& b, const HT_Point3D& c) {
    const HT_Point3D points[3] = {a, b, c};
    const auto& entry = device_->actions.draw_dc_polytriangle;
    entry.function(entry.object, &host_->rendition, 3, points);
}

void Recorded_Session::paint_scene() {
    host_->rendition.color.color = HT_Make_RGB32(200, 40, 40);
    triangle({0, 0, 0}, {63, 0, 0}, {0, 47, 0});
    host_->rendition.color.color = HT_Make_RGB32(40, 200, 40);
    triangle({63, 47, 0}, {63, 0, 0}, {0, 47, 0});
}
