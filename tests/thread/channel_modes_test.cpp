// One scene of every kind of host call, drawn once with batches handed to
// the render thread without waiting and once on the one-slot channel: the
// render thread makes the same OpenGL calls with the same arguments in the
// same order (only the addresses of the batch arrays differ), the host's
// thread makes none, and the frames are the same pixel for pixel. The
// channel comes from the environment or from the driver's registry key.
#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "host/image.h"
#include "platform/gl_layers.h"
#include "platform/winx.h"
#include "tests/support/device_fixture.h"
#include "tests/support/test_device.h"

using namespace test_support;

namespace {

constexpr int SIZE = 64;

struct Call {
    std::string name;
    std::vector<double> numbers;
    bool operator==(const Call& other) const { return name == other.name && numbers == other.numbers; }
};

std::ostream& operator<<(std::ostream& out, const Call& call) {
    out << call.name << "(";
    for (double number : call.numbers) out << number << " ";
    return out << ")";
}

HT_Rendition colored(uint8_t red, uint8_t green, uint8_t blue) {
    return solid_rendition(HT_Make_RGB32(red, green, blue));
}

// Polylines of one key and of changing colours, dots, every kind of
// polytriangle, a stippled line and one too long for a batch, rectangles
// (one with the host's face pattern, drawn back through the batch on the
// render thread), images, a depth write, a read, a textured strip, and a
// second frame.
void draw_scene(Running_Device& driver, HT_Shared_Image& read_back) {
    const HT_Rendition red = colored(255, 0, 0);
    const HT_Rendition blue = colored(0, 0, 255);
    const HT_Rendition green = colored(0, 200, 0);
    auto& actions = driver.actions();
    for (int frame = 0; frame < 2; ++frame) {
        driver.clear_frame();
        for (int i = 0; i < 12; ++i) {
            const HT_Point3D line[3] = {{2, 2.5f + i, 10}, {30, 2.5f + i, 10}, {31, 9.5f + i, 10}};
            driver.call(actions.draw_dc_polyline, i < 6 ? &green : i % 2 ? &red : &blue, 3, line);
        }
        for (int i = 0; i < 5; ++i) {
            const HT_Point3D dot{40.5f + i, 3.5f, 0};
            driver.call(actions.draw_dc_dot, i % 3 ? &red : &blue, &dot);
        }
        const HT_Point3D strip[4] = {{34, 20, 5}, {60, 20, 5}, {34, 40, 5}, {60, 44, 5}};
        const HT_RGB32 strip_colors[4] = {HT_Make_RGB32(255, 0, 0), HT_Make_RGB32(0, 255, 0),
                                          HT_Make_RGB32(0, 0, 255), HT_Make_RGB32(255, 255, 0)};
        driver.call(actions.draw_dc_gouraud_polytriangle, &red, 4, strip, strip_colors);
        driver.call(actions.draw_dc_polytriangle, &green, 3, strip);
        driver.call(actions.draw_dc_colorized_polytriangle, &blue, 4, strip, strip_colors, char(0));
        driver.call(actions.draw_dc_colorized_polyline, &red, 4, strip, strip_colors, char(1));

        HT_Rendition stippled = blue;
        stippled.line.pattern = 3;
        stippled.line.weight = 2;
        const HT_Point3D diagonal[2] = {{1, 60, 0}, {62, 30, 0}};
        driver.call(actions.draw_dc_polyline, &stippled, 2, diagonal);
        std::vector<HT_Point3D> spiral;
        for (int i = 0; i < 700; ++i)
            spiral.push_back({32 + 0.04f * i * std::cos(0.05f * i), 32 + 0.04f * i * std::sin(0.05f * i), 1});
        driver.call(actions.draw_dc_polyline, &red, int(spiral.size()), spiral.data());

        HT_Rendition patterned = green;
        patterned.face.pattern = HT_USER_FACE_PATTERN;
        for (int row = 0; row < 32; ++row) patterned.face.user_rows[row] = row % 2 ? 0xF0F0F0F0u : 0x0F0F0F0Fu;
        driver.call(actions.draw_dc_rectangle, &patterned, 4, 20, 44, 52);
        driver.call(actions.draw_dc_rectangle, &red, 22, 26, 44, 52);

        std::vector<uint32_t> pixels(7 * 5);
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = HT_Make_RGB32(uint8_t(30 * i), 90, 200);
        const HT_Point3D image_start{50, 62, 0}, image_end{56, 58, 0};
        driver.call(actions.draw_dc_image, &blue, &image_start, &image_end, 28,
                    static_cast<const void*>(pixels.data()));
        const HT_Point3D row_start{40, 12, 100}, row_end{46, 12, 900};
        driver.call(actions.draw_dc_image, &blue, &row_start, &row_end, 28,
                    static_cast<const void*>(pixels.data()));
        const std::vector<uint16_t> depths(4 * 4, 1000);
        const HT_Point3D depth_start{2, 40, 0}, depth_end{5, 37, 0};
        driver.call(actions.write_dc_depth, &blue, &depth_start, &depth_end, 8, depths.data());

        HT_Shared_Image texture_image({0, 0, 0}, 2, 2, HT_IMAGE_FORMAT_RGB32, 8, nullptr, false);
        for (int i = 0; i < 4; ++i)
            reinterpret_cast<uint32_t*>(texture_image->pixels())[i] = HT_Make_RGB32(uint8_t(60 * i), 200, 40);
        HT_Rendition textured = colored(255, 255, 255);
        textured.color.texture.id = 7;
        textured.color.texture.texture =
            HT_Texture_Handle(new HT_Texture(HT_WRAP_CLAMP, HT_WRAP_CLAMP, texture_image));
        const HT_Parameter parameters[4] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
        driver.call(actions.draw_dc_textured_polytriangle, &textured, 4, strip, strip_colors, parameters,
                    static_cast<const float*>(nullptr));
        driver.call(actions.draw_dc_polyline, &blue, 3, strip);

        const HT_Point3D whole_start{0, SIZE - 1, 0}, whole_end{SIZE - 1, 0, 0};
        const HT_Rendition plain;
        if (frame == 1) driver.call(actions.read_dc_color, &plain, &whole_start, &whole_end, read_back);
        driver.call(actions.draw_dc_polyline, &green, 3, strip);
        driver.show();
    }
}

struct Scene_Result {
    std::vector<Call> calls;
    bool any_on_the_host_thread = false;
    bool synchronous = false;
    std::vector<uint32_t> frame;
};

Scene_Result scene_through(Channel channel) {
    Scene_Result result;
    Running_Device driver;
    Device_Settings settings;
    settings.width = settings.height = SIZE;
    settings.buffer_depth = 16;
    settings.channel = channel;
    if (!driver.start(settings)) {
        ADD_FAILURE() << driver.error();
        return result;
    }
    test_device::driver(&driver.device())->fast_readback = false;
    result.synchronous = test_device::driver(&driver.device())->synchronous;
    HT_Shared_Image read_back;
    {
        winx::Gl_Recorder recorder;
        draw_scene(driver, read_back);
        for (const winx::Gl_Call& call : recorder.calls()) {
            result.calls.push_back({call.name, call.numbers});
            if (call.thread == std::this_thread::get_id()) result.any_on_the_host_thread = true;
        }
    }
    const uint32_t* pixels = reinterpret_cast<const uint32_t*>(read_back->pixels());
    result.frame.assign(pixels, pixels + SIZE * SIZE);
    return result;
}

}  // namespace

TEST(Channel_Modes, AMixedSceneMakesTheSameCallsEitherWay) {
    const Scene_Result handed = scene_through(Channel::handed_over);
    const Scene_Result waited = scene_through(Channel::synchronous);
    EXPECT_FALSE(handed.synchronous);
    EXPECT_TRUE(waited.synchronous);
    EXPECT_GT(handed.calls.size(), 100u);
    EXPECT_FALSE(handed.any_on_the_host_thread);
    EXPECT_FALSE(waited.any_on_the_host_thread);
    ASSERT_EQ(handed.calls.size(), waited.calls.size());
    for (size_t i = 0; i < handed.calls.size(); ++i)
        ASSERT_EQ(handed.calls[i], waited.calls[i]) << "call " << i;
    EXPECT_EQ(handed.frame, waited.frame);
}

// TOVREK_SYNCHRONOUS=1 or a DWORD "Synchronous" other than 0 under
// SOFTWARE\tovrek asks for the one-slot channel; anything else leaves the
// batches handed over.
TEST(Channel_Modes, TheEnvironmentAndTheDriversKeyChooseTheChannel) {
    const char* key = "SOFTWARE\\tovrek";
    struct Setting {
        const char* environment;  // null: not set
        int registry;             // -1: no value; -2: a text value "1"
        bool synchronous;
    };
    const Setting settings[] = {
        {nullptr, -1, false}, {"1", -1, true}, {"0", -1, false}, {"", -1, false}, {"yes", -1, false},
        {nullptr, 1, true},   {nullptr, 0, false}, {nullptr, 7, true}, {nullptr, -2, false}, {"0", 1, true},
    };
    const char* kept = std::getenv("TOVREK_SYNCHRONOUS");
    const std::string kept_value = kept ? kept : "";
    for (const Setting& setting : settings) {
        if (setting.environment)
            setenv("TOVREK_SYNCHRONOUS", setting.environment, 1);
        else
            unsetenv("TOVREK_SYNCHRONOUS");
        winx::registry_remove_key(key);
        if (setting.registry >= 0) winx::registry_set_dword(key, "Synchronous", DWORD(setting.registry));
        if (setting.registry == -2) winx::registry_set_value(key, "Synchronous", REG_SZ, "1", 2);
        HT_Device_Data* device = test_device::create();
        ASSERT_NE(device, nullptr);
        EXPECT_EQ(test_device::driver(device)->synchronous, setting.synchronous)
            << (setting.environment ? setting.environment : "unset") << ", " << setting.registry;
        test_device::destroy(device);
    }
    winx::registry_remove_key(key);
    if (kept)
        setenv("TOVREK_SYNCHRONOUS", kept_value.c_str(), 1);
    else
        unsetenv("TOVREK_SYNCHRONOUS");
}
