// Recording never reads more of the host's memory than the driver does:
// each buffer here ends just before an unreadable page and is exactly as
// long as the driver needs, and the session still replays to its picture.
#include <cstring>
#include <vector>

#include "tests/recording/recording_fixture.h"

namespace {

using Screen16_Recorded_Reads = Recorded_Session;

std::vector<HT_RGB32> checker_row(int width, int cell) {
    std::vector<HT_RGB32> row(size_t(width), 0);
    for (int x = 0; x < width; ++x)
        row[size_t(x)] = (x / cell) % 2 ? HT_Make_RGB32(255, 255, 0) : HT_Make_RGB32(0, 0, 255);
    return row;
}

// Row step 0 draws the one row the host hands over for every row.
TEST_F(Screen16_Recorded_Reads, ARowStepOfZeroReadsOneRow) {
    begin();
    Guarded_Bytes wide(2000 * 4);
    const HT_RGB32 red = HT_Make_RGB32(255, 0, 0);
    for (size_t i = 0; i < 2000; ++i) std::memcpy(wide.data() + i * 4, &red, 4);
    image({0, 47, 0}, {1999, -1952, 0}, 0, wide.data());
    const std::vector<HT_RGB32> row = checker_row(64, 4);
    Guarded_Bytes checker(row.size() * 4);
    std::memcpy(checker.data(), row.data(), checker.size());
    image({0, 40, 0}, {63, 20, 0}, 0, checker.data());
    expect_same_replay();
    EXPECT_NE(trace_text().find(" row_step=0\n"), std::string::npos);
}

TEST_F(Screen16_Recorded_Reads, AOneColourPrimitiveReadsOneColour) {
    begin();
    const HT_Point3D points[3] = {{2, 5, 0}, {45, 5, 0}, {10, 25, 0}};
    Guarded_Bytes color(4);
    const HT_RGB32 green = HT_Make_RGB32(0, 255, 0);
    std::memcpy(color.data(), &green, 4);
    const auto& entry = device_->actions.draw_dc_colorized_polyline;
    entry.function(entry.object, &host_->rendition, 3, points, reinterpret_cast<const HT_RGB32*>(color.data()), 1);
    expect_same_replay();
}

// With "Fast Readback" on, the accelerating board puts back what it read:
// the driver reads only a marker image's first pixel and no depth value.
TEST_F(Screen16_Recorded_Reads, BoardRequestsReadOnlyWhatTheBoardNeeds) {
    begin("session.trace", 16, true);
    triangle({0, 0, 100}, {63, 0, 100}, {0, 47, -100});
    read(false, {0, 47, 0}, {63, 0, 0});
    read(true, {0, 47, 0}, {63, 0, 0});
    host_->rendition.color.color = HT_Make_RGB32(255, 0, 255);
    triangle({10, 10, 0}, {50, 10, 0}, {30, 40, 0});
    Guarded_Bytes marker(4);
    const HT_RGB32 first = HT_Make_RGB32(1, 2, 3, 0);
    std::memcpy(marker.data(), &first, 4);
    image({0, 47, 0}, {63, 0, 0}, 256, marker.data());
    Guarded_Bytes one_value(2);
    depth({0, 47, 0}, {63, 0, 0}, 0, reinterpret_cast<const uint16_t*>(one_value.data()));
    triangle({0, 20, 0}, {63, 20, 0}, {32, 30, 0});
    expect_same_replay();
}

}  // namespace
