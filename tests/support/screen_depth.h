// Tests of suites named Screen8_* or Screen16_* need a screen of that depth.
// Run on their own they get one (see main.cpp); run together with others,
// the process has a 24-bit screen and they skip.
#pragma once

#include <gtest/gtest.h>

#include "platform/winx.h"

#define SKIP_UNLESS_SCREEN_DEPTH(bits)                                                \
    do {                                                                               \
        winx::Screen_Info screen_;                                                     \
        ASSERT_TRUE(winx::screen_info(&screen_));                                      \
        if (screen_.depth != (bits)) GTEST_SKIP() << "needs a " #bits "-bit screen";   \
    } while (0)
