// A recorded host in a 64 x 48 window on an accelerating board, with one
// started device, and the check that its trace replays to the same picture.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/round_trip/recorded_host.h"

class Recorded_Session : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Records into `trace_name` in the test's folder; the device gets the
    // options before its start.
    void begin(const std::string& trace_name = "session.trace", int buffer_depth = 16, bool fast_readback = false,
               bool directly = false);
    // Shows the frame, ends the recording, replays it in this process and
    // expects every statement to run and the same picture after the show.
    void expect_same_replay(bool show_directly = false);
    std::string trace_text() const;

    void image(const HT_Point3D& start, const HT_Point3D& end, int row_step, const void* pixels);
    void depth(const HT_Point3D& start, const HT_Point3D& end, int row_step, const uint16_t* values);
    HT_Shared_Image read(bool depth, const HT_Point3D& start, const HT_Point3D& end);
    void triangle(const HT_Point3D& a, const HT_Point3D& b, const HT_Point3D& c);
    // The window in two triangles of two colours.
    void paint_scene();

    std::string folder_;
    std::string trace_path_;
    std::unique_ptr<Recorded_Host> host_;
    HT_Device_Data* device_ = nullptr;
};
