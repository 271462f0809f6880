// What a replay stands on and how the trace is written: the board and the
// registry, start and show called on the object itself, textures and their
// vertex values, file names, the host's locale, and compression.
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/recording/recording_fixture.h"
#include "tests/support/process.h"

namespace {

using Screen16_Recorded_Ground = Recorded_Session;

HT_Shared_Image solid_image(int side, HT_RGB32 color) {
    HT_Shared_Image image({0, 0, 0}, side, side, HT_IMAGE_FORMAT_RGB32, 0, nullptr, false);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const HT_RGB32 pixel = (x + y) % 2 ? color : HT_Make_RGB32(255, 255, 255);
            std::memcpy(image->pixels() + y * image->row_bytes() + x * 4, &pixel, 4);
        }
    return image;
}

void use_texture(HT_Rendition& rendition, int id, const HT_Shared_Image& image, int interpolation) {
    rendition.color.texture.id = id;
    rendition.color.texture.texture =
        HT_Texture_Handle(new HT_Texture(HT_WRAP_REPEAT, HT_WRAP_REPEAT, image));
    rendition.surface.texture_interpolation = interpolation;
}

void textured_triangle(HT_Device_Data* device, const HT_Rendition& rendition, const float* values) {
    const HT_Point3D points[3] = {{2, 2, 0}, {60, 4, 0}, {8, 44, 0}};
    const HT_RGB32 colors[3] = {HT_Make_RGB32(255, 255, 255), HT_Make_RGB32(255, 255, 255),
                                HT_Make_RGB32(255, 255, 255)};
    const HT_Parameter parameters[3] = {{0, 0, 0}, {4, 0, 0}, {0, 4, 0}};
    const auto& entry = device->actions.draw_dc_textured_polytriangle;
    entry.function(entry.object, &rendition, 3, points, colors, parameters, values);
}

TEST_F(Screen16_Recorded_Ground, PerspectiveTexturingKeepsItsVertexValues) {
    begin();
    use_texture(host_->rendition, 1, solid_image(8, HT_Make_RGB32(0, 0, 200)), HT_TEXTURE_PERSPECTIVE);
    const float values[3] = {1.0f, 0.125f, 1.0f};
    textured_triangle(device_, host_->rendition, values);
    expect_same_replay();
}

// A repainted image under a new texture id gets a file of its own, and the
// recorder keeps no texture image alive once the rendition moves on.
TEST_F(Screen16_Recorded_Ground, ARepaintedTextureImageIsWrittenAgainAndNotKept) {
    begin();
    HT_Shared_Image image = solid_image(4, HT_Make_RGB32(255, 0, 0));
    use_texture(host_->rendition, 1, image, HT_TEXTURE_AFFINE);
    textured_triangle(device_, host_->rendition, nullptr);
    const HT_RGB32 blue = HT_Make_RGB32(0, 0, 255);
    for (int i = 0; i < 16; ++i) std::memcpy(image->pixels() + i * 4, &blue, 4);
    use_texture(host_->rendition, 2, image, HT_TEXTURE_AFFINE);
    textured_triangle(device_, host_->rendition, nullptr);
    host_->rendition.color.texture = HT_Texture_Reference();
    triangle({50, 40, 0}, {60, 40, 0}, {55, 47, 0});
    EXPECT_EQ(image->reference_count(), 1);
    expect_same_replay();
}

TEST_F(Screen16_Recorded_Ground, ATraceNameWithBlanksNamesFilesThatReadBack) {
    begin("my rec#1=a.trace");
    const HT_Shared_Image pixels = solid_image(8, HT_Make_RGB32(0, 128, 255));
    image({4, 40, 0}, {11, 33, 0}, pixels->row_bytes(), pixels->pixels());
    expect_same_replay();
    EXPECT_NE(trace_text().find(" my_rec_1_a-1.png "), std::string::npos) << trace_text();
}

// A host running under a locale with a decimal comma still writes numbers
// that read back.
TEST_F(Screen16_Recorded_Ground, NumbersAreWrittenWhateverTheHostsLocale) {
    const std::string locales = folder_ + "/locales";
    std::filesystem::create_directories(locales);
    const Process_Result made =
        run_process({"/usr/bin/localedef", "-i", "de_DE", "-f", "UTF-8", locales + "/de_DE.UTF-8"});
    setenv("LOCPATH", locales.c_str(), 1);
    const bool comma = made.status == 0 && std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    unsetenv("LOCPATH");
    if (!comma) GTEST_SKIP() << "no locale with a decimal comma: " << made.errors;
    begin();
    const HT_Point3D points[3] = {{2.5f, 5.25f, 0}, {45.5f, 5.75f, 0}, {10.125f, 25.5f, 0}};
    const auto& entry = device_->actions.draw_dc_polyline;
    entry.function(entry.object, &host_->rendition, 3, points);
    std::setlocale(LC_ALL, "C");
    expect_same_replay();
    EXPECT_NE(trace_text().find("polyline 2.5,5.25,0 45.5,5.75,0 10.125,25.5,0"), std::string::npos);
}

// A session recorded in software emulation replays in software emulation,
// where an image whose alpha is 0 is drawn, not handed to the board.
TEST_F(Screen16_Recorded_Ground, TheBoardIsRecorded) {
    winx::Board_Profile two_boards;
    two_boards.boards = 2;
    winx::set_board_profile(two_boards);
    begin("session.trace", 16, true);
    const HT_Shared_Image pixels = solid_image(8, HT_Make_RGB32(0, 255, 0, 0));
    image({4, 40, 0}, {11, 33, 0}, pixels->row_bytes(), pixels->pixels());
    expect_same_replay();
    EXPECT_NE(trace_text().find("\nboard video_memory="), std::string::npos);
    EXPECT_NE(trace_text().find(" boards=2 "), std::string::npos);
}

TEST_F(Screen16_Recorded_Ground, TheControlPanelIsRecorded) {
    winx::registry_set_dword(CONTROL_PANEL_KEY, "User3d.ZBuffer", 0);
    begin("session.trace", 16, true);
    const HT_Shared_Image pixels = solid_image(8, HT_Make_RGB32(0, 255, 0, 0));
    image({4, 40, 0}, {11, 33, 0}, pixels->row_bytes(), pixels->pixels());
    expect_same_replay();
    EXPECT_NE(trace_text().find("\nregistry \"User3d.ZBuffer\" 0\nregistry \"User3d.DoubleBuffer\" absent\n"),
              std::string::npos);
}

// A construction stopped by DirectDraw (on a process's first construction)
// replays as the same stop.
TEST(Screen16_Recorded_Construction, AStoppedConstructionReplaysStopped) {
    const std::string folder = make_temporary_folder();
    const std::string trace = folder + "/stopped.trace";
    setenv("TOVREK_RECORD", trace.c_str(), 1);
    setenv("WINX_BOARD", "directdraw=create_fails", 1);
    const Process_Result shown = run_process({TOVREK_TOOL_PATH, "demo", "-o", folder + "/shown.png"});
    unsetenv("WINX_BOARD");
    unsetenv("TOVREK_RECORD");
    EXPECT_NE(shown.status, 0);
    const Process_Result replayed = run_process({TOVREK_TOOL_PATH, "replay", trace}, {"WINX_BOARD"});
    EXPECT_EQ(replayed.status, 0) << replayed.errors;
    std::filesystem::remove_all(folder);
}

TEST_F(Screen16_Recorded_Ground, StartAndShowCalledOnTheObjectAreRecorded) {
    begin("session.trace", 16, false, true);
    host_->rendition.color.color = HT_Make_RGB32(255, 128, 0);
    triangle({0, 0, 0}, {40, 0, 0}, {0, 30, 0});
    expect_same_replay(true);
    const std::string text = trace_text();
    EXPECT_NE(text.find("\nwindow 64 48\nstart\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nshow\n"), std::string::npos) << text;
}

TEST_F(Screen16_Recorded_Ground, ATraceNamedGzIsCompressedWithItsImagesBeside) {
    begin("session.trace.gz");
    const HT_Shared_Image pixels = solid_image(8, HT_Make_RGB32(90, 0, 200));
    image({4, 40, 0}, {11, 33, 0}, pixels->row_bytes(), pixels->pixels());
    expect_same_replay();
    const std::string text = trace_text();
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(uint8_t(text[0]), 0x1f);
    EXPECT_EQ(uint8_t(text[1]), 0x8b);
    EXPECT_TRUE(std::filesystem::exists(folder_ + "/session-1.png"));
}

}  // namespace
