// Reads handed back to the device: only an unedited whole read, with the
// row step the replay passes, is written as the restore step; anything else
// goes into a file of its own and replays to the same picture.
#include <cstring>
#include <fstream>
#include <sstream>

#include "host/recording/transfers.h"
#include "tests/recording/recording_fixture.h"

namespace {

using Screen16_Restore_Steps = Recorded_Session;

TEST_F(Screen16_Restore_Steps, AReadPaintedIntoIsDrawnBackAsPainted) {
    begin();
    paint_scene();
    HT_Shared_Image read_back = read(false, {0, 47, 0}, {63, 0, 0});
    ASSERT_FALSE(read_back.is_null());
    const HT_RGB32 blue = HT_Make_RGB32(0, 0, 255);
    for (int y = 10; y < 20; ++y)
        for (int x = 0; x < 64; ++x) std::memcpy(read_back->pixels() + y * read_back->row_bytes() + x * 4, &blue, 4);
    image({0, 47, 0}, {63, 0, 0}, read_back->row_bytes(), read_back->pixels());
    expect_same_replay();
    EXPECT_EQ(trace_text().find("\nredraw"), std::string::npos);
}

TEST_F(Screen16_Restore_Steps, PartOfAReadDrawnBackReplays) {
    begin();
    paint_scene();
    HT_Shared_Image read_back = read(false, {0, 47, 0}, {63, 0, 0});
    ASSERT_FALSE(read_back.is_null());
    host_->rendition.color.color = HT_Make_RGB32(0, 0, 0);
    triangle({0, 0, 0}, {63, 0, 0}, {0, 47, 0});
    image({30, 20, 0}, {45, 5, 0}, read_back->row_bytes(), read_back->pixels());
    // The whole read handed back unedited is still the restore step.
    image({0, 47, 0}, {63, 0, 0}, read_back->row_bytes(), read_back->pixels());
    expect_same_replay();
    EXPECT_NE(trace_text().find("\nredraw 0,47,0 63,0,0\n"), std::string::npos);
}

// Depth handed back with row step 0 is read width x 2 bytes a row, not the
// read's own (padded) rows.
TEST_F(Screen16_Restore_Steps, DepthHandedBackKeepsTheHostsRowStep) {
    begin();
    uint16_t ramp[8][5];
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 5; ++x) ramp[y][x] = uint16_t(8000 * x + 1000 * y);
    depth({10, 30, 0}, {14, 23, 0}, 10, &ramp[0][0]);
    HT_Shared_Image values = read(true, {10, 30, 0}, {14, 23, 0});
    ASSERT_FALSE(values.is_null());
    ASSERT_NE(values->row_bytes(), 10);
    depth({10, 30, 0}, {14, 23, 0}, 0, reinterpret_cast<const uint16_t*>(values->pixels()));
    host_->rendition.color.color = HT_Make_RGB32(255, 255, 255);
    triangle({0, 0, 0}, {63, 0, 0}, {0, 47, 0});
    triangle({63, 47, 0}, {63, 0, 0}, {0, 47, 0});
    expect_same_replay();
}

// Of two reads, the last read is the one whose statement was written last,
// whichever call returned first.
TEST(Screen16_Restore_Step_Order, TheLastReadWrittenIsTheOneRestored) {
    const std::string folder = testing::TempDir();
    Recording_Session session(folder + "/order.trace", 1);
    ASSERT_TRUE(session.opened()) << session.error();
    Recorded_Device device;
    device.viewport = {64, 48};
    const HT_Point3D start{0, 1, 0}, end{1, 0, 0};
    auto image_of = [] { return HT_Shared_Image({0, 1, 0}, 2, 2, HT_IMAGE_FORMAT_RGB32, 0, nullptr, false); };
    const HT_Shared_Image first = image_of(), second = image_of();
    const uint64_t first_read = write_read_statement(session, false, &start, &end);
    const uint64_t second_read = write_read_statement(session, false, &start, &end);
    note_read(session, false, second_read, second);
    note_read(session, false, first_read, first);
    EXPECT_EQ(session.last_color.image.get(), second.get());
    write_image_statement(session, device, &start, &end, first->row_bytes(), first->pixels());
    write_image_statement(session, device, &start, &end, second->row_bytes(), second->pixels());
    session.flush();
    std::ifstream file(folder + "/order.trace");
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_NE(text.str().find("\nimage 0,1,0 1,0,0 order-1.png row_step=8\nredraw 0,1,0 1,0,0\n"), std::string::npos)
        << text.str();
}

}  // namespace
