// The standard polyline routines: dashes measured along the whole line and
// sent as solid pieces, and wide styled lines stroked into triangles with
// their caps and joins.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "host/standard.h"
#include "tests/support/recording_device.h"

namespace {

HT_Rendition dashed(std::vector<int32_t> dashes) {
    HT_Rendition rendition;
    rendition.line.pattern = HT_USER_LINE_PATTERN;
    rendition.line.dashes = dashes;
    return rendition;
}

HT_Rendition wide(int32_t weight, int32_t cap, int32_t join) {
    HT_Rendition rendition;
    rendition.line.weight = weight;
    rendition.line.cap_style = cap;
    rendition.line.join_style = join;
    return rendition;
}

// The lit runs of one row, as [first, last] column pairs.
std::vector<std::pair<int, int>> runs_in_row(const Recording_Device& device, int y) {
    std::vector<std::pair<int, int>> runs;
    for (int x = 0; x < device.width(); ++x) {
        if (!device.lit(x, y)) continue;
        if (!runs.empty() && runs.back().second == x - 1) runs.back().second = x;
        else runs.push_back({x, x});
    }
    return runs;
}

}  // namespace

TEST(StandardDashes, FourOnFourOffGivesFourRunsOfFourAsSolidPolylines) {
    Recording_Device device(64, 32);
    const HT_Rendition rendition = dashed({4, 4});
    const HT_Point3D line[2] = {{0.5f, 10.5f, 7}, {32.5f, 10.5f, 7}};
    HD_Standard_Draw_DC_Polyline(&device, &rendition, 2, line);

    const std::vector<std::pair<int, int>> expected = {{0, 3}, {8, 11}, {16, 19}, {24, 27}};
    EXPECT_EQ(runs_in_row(device, 10), expected);
    EXPECT_EQ(device.lit_count(), 16);
    ASSERT_EQ(device.calls.size(), 4u);
    for (const Recording_Device::Call& call : device.calls) {
        EXPECT_EQ(call.kind, Recording_Device::Call::polyline);
        EXPECT_EQ(call.rendition.line.pattern, 0);
        EXPECT_EQ(call.rendition.line.cap_style, 0);
        EXPECT_EQ(call.rendition.line.join_style, 0);
        EXPECT_EQ(call.rendition.color.color, rendition.color.color);
        EXPECT_EQ(call.points.front().z, 7.0f);
    }
}

TEST(StandardDashes, AreMeasuredAcrossVerticesAndAnOddListAlternates) {
    // 6 pixels right, then up: the second dash starts 2 pixels up the
    // vertical leg and a dash over the corner stays one connected piece.
    Recording_Device device(32, 32);
    HT_Rendition rendition = dashed({4, 4});
    const HT_Point3D corner[3] = {{0.5f, 10.5f, 0}, {6.5f, 10.5f, 0}, {6.5f, 30.5f, 0}};
    HD_Standard_Draw_DC_Polyline(&device, &rendition, 3, corner);
    EXPECT_EQ(runs_in_row(device, 10), (std::vector<std::pair<int, int>>{{0, 3}}));
    for (int y = 11; y < 32; ++y)
        EXPECT_EQ(device.lit(6, y), (y >= 12 && y < 16) || (y >= 20 && y < 24) || (y >= 28 && y < 30)) << y;

    Recording_Device across(32, 32);
    rendition = dashed({4, 1});
    HD_Standard_Draw_DC_Polyline(&across, &rendition, 3, corner);
    ASSERT_FALSE(across.calls.empty());
    EXPECT_EQ(across.calls[0].points.size(), 2u);
    EXPECT_EQ(across.calls[1].points.size(), 3u) << "the dash over the corner keeps its vertex";

    // A single length means as long on as off.
    Recording_Device odd(32, 32);
    rendition = dashed({3});
    const HT_Point3D line[2] = {{0.5f, 5.5f, 0}, {18.5f, 5.5f, 0}};
    HD_Standard_Draw_DC_Polyline(&odd, &rendition, 2, line);
    EXPECT_EQ(runs_in_row(odd, 5), (std::vector<std::pair<int, int>>{{0, 2}, {6, 8}, {12, 14}}));
}

TEST(StandardDashes, KeepTheCallersColoursPerSegmentOrInterpolated) {
    Recording_Device device(64, 32);
    const HT_Rendition rendition = dashed({4, 4});
    const HT_Point3D line[3] = {{0.5f, 10.5f, 0}, {10.5f, 10.5f, 0}, {20.5f, 10.5f, 0}};
    const HT_RGB32 colors[3] = {HT_Make_RGB32(0, 0, 0), HT_Make_RGB32(100, 0, 0), HT_Make_RGB32(0, 200, 0)};

    HD_Standard_Draw_DC_Colorized_Polyline(&device, &rendition, 3, line, colors, 0);
    EXPECT_EQ(device.pixel(1, 10).color, colors[1]);
    EXPECT_EQ(device.pixel(9, 10).color, colors[1]);
    EXPECT_EQ(device.pixel(11, 10).color, colors[2]);
    for (const Recording_Device::Call& call : device.calls) {
        EXPECT_EQ(call.kind, Recording_Device::Call::colorized_polyline);
        EXPECT_FALSE(call.one_color);
    }

    device.calls.clear();
    HD_Standard_Draw_DC_Colorized_Polyline(&device, &rendition, 3, line, colors, 1);
    for (const Recording_Device::Call& call : device.calls) {
        ASSERT_TRUE(call.one_color);
        EXPECT_EQ(call.colors, std::vector<HT_RGB32>{colors[0]});
    }

    device.calls.clear();
    HD_Standard_Draw_DC_Gouraud_Polyline(&device, &rendition, 3, line, colors);
    ASSERT_EQ(device.calls.size(), 3u);
    const Recording_Device::Call& first = device.calls[0];
    EXPECT_EQ(first.kind, Recording_Device::Call::gouraud_polyline);
    ASSERT_EQ(first.colors.size(), 2u);
    EXPECT_EQ(first.colors[0], colors[0]);
    EXPECT_EQ(first.colors[1], HT_Make_RGB32(40, 0, 0)) << "4 of the first 10 pixels";
}

TEST(StandardStroke, RoundCapsCoverADiscAtEachEnd) {
    Recording_Device device(64, 48);
    const HT_Rendition rendition = wide(5, HT_CAP_ROUND, HT_JOIN_MITER);
    const HT_Point3D line[2] = {{20, 24, 3}, {40, 24, 3}};
    HD_Standard_Draw_DC_Polyline(&device, &rendition, 2, line);

    for (const Recording_Device::Call& call : device.calls) {
        EXPECT_EQ(call.kind, Recording_Device::Call::polytriangle);
        EXPECT_EQ(call.rendition.face.pattern, HT_SOLID_FACE_PATTERN);
    }
    for (int y = 0; y < device.height(); ++y)
        for (int x = 0; x < device.width(); ++x) {
            const double cx = x + 0.5, cy = y + 0.5;
            const double from_axis = std::fabs(cy - 24);
            const double beyond = cx < 20 ? 20 - cx : (cx > 40 ? cx - 40 : 0);
            const double distance = std::hypot(beyond, from_axis);
            if (distance <= 2.25) {
                EXPECT_TRUE(device.lit(x, y)) << x << "," << y;
            } else if (distance >= 2.7) {
                EXPECT_FALSE(device.lit(x, y)) << x << "," << y;
            }
        }
}

TEST(StandardStroke, ButtAndSquareCapsEndAtAndHalfAWidthPastTheEnds) {
    const HT_Point3D line[2] = {{20, 24, 0}, {40, 24, 0}};
    Recording_Device butt(64, 48);
    HT_Rendition rendition = wide(6, HT_CAP_BUTT, HT_JOIN_ROUND);
    HD_Standard_Draw_DC_Polyline(&butt, &rendition, 2, line);
    EXPECT_EQ(runs_in_row(butt, 24), (std::vector<std::pair<int, int>>{{20, 39}}));
    EXPECT_TRUE(butt.lit(20, 21) && butt.lit(39, 26) && !butt.lit(20, 27));

    Recording_Device square(64, 48);
    rendition = wide(6, HT_CAP_SQUARE, HT_JOIN_MITER);
    HD_Standard_Draw_DC_Polyline(&square, &rendition, 2, line);
    EXPECT_EQ(runs_in_row(square, 24), (std::vector<std::pair<int, int>>{{17, 42}}));
    EXPECT_EQ(runs_in_row(square, 21), (std::vector<std::pair<int, int>>{{17, 42}}));
}

TEST(StandardStroke, JoinsFillTheOuterCornerAsAsked) {
    // A right angle: right along y = 20, then up along x = 30. Square caps,
    // since a miter with butt caps is no style at all.
    const HT_Point3D corner[3] = {{10, 20, 0}, {30, 20, 0}, {30, 40, 0}};
    auto draw = [&](int32_t join) {
        auto device = std::make_unique<Recording_Device>(48, 48);
        const HT_Rendition rendition = wide(8, HT_CAP_SQUARE, join);
        HD_Standard_Draw_DC_Polyline(device.get(), &rendition, 3, corner);
        return device;
    };
    const auto miter = draw(HT_JOIN_MITER);
    const auto bevel = draw(HT_JOIN_BEVEL);
    const auto round = draw(HT_JOIN_ROUND);
    // The outer corner square spans x 30..34, y 16..20.
    EXPECT_TRUE(miter->lit(33, 16));
    EXPECT_FALSE(bevel->lit(33, 16));
    EXPECT_FALSE(round->lit(33, 16));
    EXPECT_TRUE(round->lit(32, 17));
    EXPECT_FALSE(bevel->lit(32, 17));
    EXPECT_TRUE(bevel->lit(31, 18));
    EXPECT_FALSE(miter->lit(35, 15));

    // A hairpin turn: its miter would reach far past the vertex, so it is
    // bevelled.
    const HT_Point3D hairpin[3] = {{5, 20, 0}, {40, 22, 0}, {5, 24, 0}};
    Recording_Device sharp(64, 48);
    const HT_Rendition rendition = wide(4, HT_CAP_SQUARE, HT_JOIN_MITER);
    HD_Standard_Draw_DC_Polyline(&sharp, &rendition, 3, hairpin);
    for (int x = 44; x < 64; ++x)
        for (int y = 0; y < 48; ++y) EXPECT_FALSE(sharp.lit(x, y)) << x << "," << y;
}

TEST(StandardStroke, WideDashesAreStrokedPieceByPieceInTheirColours) {
    Recording_Device device(64, 48);
    HT_Rendition rendition = wide(4, HT_CAP_SQUARE, HT_JOIN_MITER);
    rendition.line.pattern = HT_USER_LINE_PATTERN;
    rendition.line.dashes = {6, 10};
    const HT_Point3D line[2] = {{10, 24, 0}, {42, 24, 0}};
    const HT_RGB32 colors[2] = {HT_Make_RGB32(0, 0, 0), HT_Make_RGB32(0, 0, 250)};
    HD_Standard_Draw_DC_Gouraud_Polyline(&device, &rendition, 2, line, colors);
    // Dashes [10, 16] and [26, 32], each with 2 pixels of square cap.
    EXPECT_EQ(runs_in_row(device, 24), (std::vector<std::pair<int, int>>{{8, 17}, {24, 33}}));
    for (const Recording_Device::Call& call : device.calls)
        EXPECT_EQ(call.kind, Recording_Device::Call::gouraud_polytriangle);

    // A wide line without styles stays a polyline of its weight.
    Recording_Device plain(64, 48);
    rendition.line.cap_style = rendition.line.join_style = 0;
    HD_Standard_Draw_DC_Polyline(&plain, &rendition, 2, line);
    ASSERT_EQ(plain.calls.size(), 2u);
    EXPECT_EQ(plain.calls[0].kind, Recording_Device::Call::polyline);
    EXPECT_EQ(plain.calls[0].rendition.line.weight, 4);
}
