// Floats in a trace read as std::to_chars writes them (the shortest text that
// reads back bit for bit, scientific only where it is shorter), also where
// whole numbers take a faster path: every whole number the fast path may
// take, at every magnitude and count of trailing zeros, and the values at
// its edges.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "host/recording/number_text.h"

namespace {

std::string float_conversion(float value) {
    if (std::isnan(value)) return "nan";
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

std::vector<float> values_to_check() {
    std::vector<float> values;
    for (int i = -70000; i <= 70000; ++i) values.push_back(float(i));
    for (int digits = 1; digits < 1000; ++digits)
        for (float scale = 1; scale < 16777216.0f; scale *= 10) {
            values.push_back(float(digits) * scale);
            values.push_back(-float(digits) * scale);
        }
    const float edges[] = {16777215.0f, 16777216.0f, 16777218.0f, -16777215.0f, -16777216.0f, 1e8f, 1e10f,
                           -0.0f, 0.5f, -2.5f, 1e-3f, 222.57684f, std::numeric_limits<float>::max(),
                           std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                           std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::denorm_min()};
    values.insert(values.end(), std::begin(edges), std::end(edges));
    return values;
}

TEST(Number_Text, FloatsAreWrittenAsTheFloatConversionWritesThem) {
    int wrong = 0;
    for (float value : values_to_check()) {
        std::string line = "x ";
        append_float(line, value);
        if (line != "x " + float_conversion(value) && ++wrong <= 5)
            ADD_FAILURE() << line << " for " << float_conversion(value);
    }
    EXPECT_EQ(wrong, 0);
    std::string point;
    append_point(point, HT_Point3D{100000.0f, -0.0f, 9876956.0f});
    EXPECT_EQ(point, "1e+05,-0,9876956");
}

}  // namespace
