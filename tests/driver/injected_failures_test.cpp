// Every failure the platform can report to the driver, tried one at a time
// through the platform's test hooks, in the first construction of a process:
// each platform call the driver makes (events, the render thread, the
// desktop's device context, the pixel format, the context, SwapBuffers, each
// DirectDraw call, each escape) and each allocation. For each: the object is
// refused or switched to software emulation exactly as the board checks and
// the pixel-format step say, with exactly their message boxes; nothing
// crashes or hangs (a watchdog ends a hung test); the frame drawn after the
// failure is whole, so no lock stayed held; and once the objects are gone,
// kernel handles, threads, X windows and DirectDraw objects are back where
// they were.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/checked_frames.h"
#include "tests/support/failing_allocation.h"
#include "tests/support/process_resources.h"
#include "tests/support/test_device.h"

using namespace test_support;
using winx::Failing_Call;

namespace {

const char* const ERROR_CAPTION = "QRB Error";
const char* const ON_BOARD_CAPTION = "QRB WARNING : Insufficient Video Memory OnBoard";
const char* const AVAILABLE_CAPTION = "QRB WARNING : Insufficient Video Memory Currently Available";

// What the first object's life comes to when the failure strikes.
enum class Outcome {
    refused,           // HD_Device returns null; the next call makes an object
    drawing_disabled,  // the object has no context: nothing is drawn until start_device again
    whole,             // the object draws its frames as if nothing had happened
};

struct Injection {
    const char* name;
    Failing_Call call;
    int nth;
    Outcome outcome;
    int software_emulation;
    bool double_buffering;
    // Captions, and for the error boxes the text, in order.
    std::vector<std::pair<std::string, std::string>> messages;
};

void PrintTo(const Injection& injection, std::ostream* out) { *out << injection.name; }

// The window's own device context is the host's: the test arms GetDC only
// for the desktop's, which the construction asks for first.
const Injection INJECTIONS[] = {
    {"first_CreateEventA", Failing_Call::create_event, 1, Outcome::refused, 0, true, {}},
    {"second_CreateEventA", Failing_Call::create_event, 2, Outcome::refused, 0, true, {}},
    {"third_CreateEventA", Failing_Call::create_event, 3, Outcome::refused, 0, true, {}},
    {"CreateThread", Failing_Call::create_thread, 1, Outcome::refused, 0, true, {}},
    // No desktop device context: the escapes answer nothing (every check
    // passes) and no pixel format can be chosen for it.
    {"desktop_GetDC", Failing_Call::get_dc, 1, Outcome::refused, 0, true,
     {{ERROR_CAPTION, "ChoosePixelFormat failed"}}},
    {"ChoosePixelFormat_at_construction", Failing_Call::choose_pixel_format, 1, Outcome::refused, 0,
     true, {{ERROR_CAPTION, "ChoosePixelFormat failed"}}},
    {"ChoosePixelFormat_at_start", Failing_Call::choose_pixel_format, 2, Outcome::drawing_disabled, 0,
     true, {{ERROR_CAPTION, "ChoosePixelFormat failed"}}},
    {"SetPixelFormat_at_construction", Failing_Call::set_pixel_format, 1, Outcome::refused, 0, true,
     {{ERROR_CAPTION, "SetPixelFormat failed"}}},
    {"SetPixelFormat_at_start", Failing_Call::set_pixel_format, 2, Outcome::drawing_disabled, 0, true,
     {{ERROR_CAPTION, "SetPixelFormat failed"}}},
    {"wglCreateContext", Failing_Call::wgl_create_context, 1, Outcome::drawing_disabled, 0, true, {}},
    {"wglMakeCurrent", Failing_Call::wgl_make_current, 1, Outcome::drawing_disabled, 0, true, {}},
    {"SwapBuffers", Failing_Call::swap_buffers, 1, Outcome::whole, 0, true, {}},
    {"DirectDrawCreate", Failing_Call::directdraw_create, 1, Outcome::refused, 0, true, {}},
    {"SetCooperativeLevel", Failing_Call::directdraw_cooperative_level, 1, Outcome::refused, 0, true, {}},
    {"QueryInterface_DirectDraw2", Failing_Call::directdraw_query_interface, 1, Outcome::refused, 0, true,
     {}},
    // On a 32-bit screen the test allocates one surface.
    {"CreateSurface", Failing_Call::directdraw_create_surface, 1, Outcome::whole, 1, false,
     {{AVAILABLE_CAPTION, ""}}},
    // An escape that is not answered leaves its words 0: no video memory...
    {"escape_board_memory", Failing_Call::escape, 1, Outcome::whole, 1, true, {{ON_BOARD_CAPTION, ""}}},
    // ... no display mode (bits per pixel 0: no DirectDraw test), no scan
    // line (nothing needed), no boards: each passes silently.
    {"escape_display_mode", Failing_Call::escape, 2, Outcome::whole, 0, true, {}},
    {"escape_scan_line", Failing_Call::escape, 3, Outcome::whole, 0, true, {}},
    {"escape_board_count", Failing_Call::escape, 4, Outcome::whole, 0, true, {}},
};

class Injected_Failure : public testing::TestWithParam<Injection> {
protected:
    void TearDown() override {
        winx::clear_injected_failures();
        failing_allocation::fail_nth_allocation(0);
    }

    // What the frame's check found, with the frame counted as progress.
    std::vector<std::string> draw(Checked_Frames& frames, int frame) {
        std::vector<std::string> failures = frames.draw(frame, true);
        ++progress;
        return failures;
    }

    std::atomic<long> progress{0};
};

std::vector<std::pair<std::string, std::string>> shown(const winx::Message_Recorder& recorder) {
    std::vector<std::pair<std::string, std::string>> boxes;
    for (const winx::Message_Box& box : recorder.boxes()) boxes.emplace_back(box.caption, box.text);
    return boxes;
}

}  // namespace

TEST_P(Injected_Failure, IsReportedAsTheDriverSaysAndLeavesNothingBroken) {
    const Injection& injection = GetParam();
    ASSERT_TRUE(winx::open_display());
    Watchdog watchdog(progress, std::chrono::seconds(60), injection.name);
    winx::Message_Recorder recorder;
    const Resources before = resources_now(test_device::thread_count());

    Checked_Frames first(0);
    std::string error;
    winx::inject_failure(injection.call, injection.nth);
    const bool made = first.start(&error);
    ++progress;
    if (injection.outcome == Outcome::refused) {
        EXPECT_FALSE(made);
        EXPECT_TRUE(winx::injected_failure_happened(injection.call));
        winx::clear_injected_failures();
        ASSERT_TRUE(first.start(&error)) << "the next HD_Device: " << error;
        EXPECT_EQ(draw(first, 1), std::vector<std::string>{});
    } else {
        ASSERT_TRUE(made) << error;
        const OGL_Device_Data* object = test_device::driver(&first.driver().device());
        EXPECT_EQ(object->software_emulation, injection.software_emulation);
        EXPECT_EQ(object->double_buffering, injection.double_buffering);
        const std::vector<std::string> failures = draw(first, 1);
        EXPECT_TRUE(winx::injected_failure_happened(injection.call));
        winx::clear_injected_failures();
        if (injection.outcome == Outcome::drawing_disabled) {
            EXPECT_EQ(object->gl_context, nullptr);
            EXPECT_NE(failures, std::vector<std::string>{});
            first.restart();
            EXPECT_NE(object->gl_context, nullptr);
        } else {
            EXPECT_EQ(failures, std::vector<std::string>{});
        }
        EXPECT_EQ(draw(first, 2), std::vector<std::string>{});
    }
    const auto boxes = shown(recorder);
    EXPECT_EQ(boxes.size(), injection.messages.size());
    for (size_t i = 0; i < injection.messages.size() && i < boxes.size(); ++i) {
        const auto& [caption, text] = boxes[i];
        EXPECT_EQ(caption, injection.messages[i].first);
        if (!injection.messages[i].second.empty()) {
            EXPECT_EQ(text, injection.messages[i].second);
        }
    }
    first.stop();

    const Resources after_first = resources_now(before.threads);
    EXPECT_EQ(after_first.handles, before.handles);
    EXPECT_EQ(after_first.windows, before.windows);
    EXPECT_EQ(after_first.directdraw_objects, before.directdraw_objects);

    // A second life changes nothing more: its render thread ends with it.
    recorder.clear();
    Checked_Frames second(1);
    ASSERT_TRUE(second.start(&error)) << error;
    EXPECT_EQ(draw(second, 3), std::vector<std::string>{});
    second.stop();
    const Resources after_second = resources_now(after_first.threads);
    EXPECT_EQ(after_second.threads, after_first.threads);
    EXPECT_EQ(after_second.handles, before.handles);
    EXPECT_EQ(after_second.windows, before.windows);
    EXPECT_TRUE(recorder.boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(EachPlatformCall, Injected_Failure, testing::ValuesIn(INJECTIONS),
                         [](const testing::TestParamInfo<Injection>& info) { return std::string(info.param.name); });

// Each nothrow allocation of an object's life (the object itself, an image's
// row buffer, a read's image and its pixels, a texture's conversion buffer)
// fails in turn, until a life passes with none left to fail. The object is
// refused, or the piece that needed the memory is missing; nothing else
// happens, and the next frame is whole.
TEST_F(Injected_Failure, EachAllocationOfAnObjectsLifeFailsInTurn) {
    ASSERT_TRUE(winx::open_display());
    Watchdog watchdog(progress, std::chrono::seconds(60), "allocations");
    winx::Message_Recorder recorder;
    int failed_allocations = 0;
    for (int nth = 1; nth <= 64; ++nth) {
        SCOPED_TRACE(testing::Message() << "allocation " << nth);
        Checked_Frames frames(nth);
        std::string error;
        failing_allocation::fail_nth_allocation(nth);
        const bool made = frames.start(&error);
        if (!made) {
            EXPECT_TRUE(failing_allocation::failed());
            failing_allocation::fail_nth_allocation(0);
            ASSERT_TRUE(frames.start(&error)) << error;
        }
        // The frame with the failure may miss the piece that needed it.
        draw(frames, 1);
        const bool failed = !made || failing_allocation::failed();
        failing_allocation::fail_nth_allocation(0);
        EXPECT_EQ(draw(frames, 2), std::vector<std::string>{});
        frames.stop();
        if (!failed) break;
        ++failed_allocations;
    }
    // The object, the image's rows, two reads of an image and its pixels, the
    // texture's conversion: at least that many.
    EXPECT_GE(failed_allocations, 6);
    std::printf("%d allocations failed in turn\n", failed_allocations);
    EXPECT_TRUE(recorder.boxes().empty());
}
