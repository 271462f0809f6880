// MessageBoxA: the default sink prints on standard error; a recorder keeps
// every box in order, from any thread, and puts the default back.
#include <thread>

#include <gtest/gtest.h>

#include "platform/windows.h"
#include "platform/winx.h"

namespace {

TEST(Message_Box, DefaultSinkPrintsCaptionAndText) {
    testing::internal::CaptureStderr();
    int answer = MessageBoxA(nullptr, "Not enough video memory", "QRB warning", MB_OK);
    std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(answer, IDOK);
    EXPECT_EQ(printed, "QRB warning: Not enough video memory\n");
}

TEST(Message_Box, RecorderKeepsOrderAcrossThreadsAndRestoresTheDefault) {
    const int per_thread = 200;
    {
        winx::Message_Recorder recorder;
        auto post = [&](const char* caption) {
            for (int i = 0; i < per_thread; ++i) {
                EXPECT_EQ(MessageBoxA(nullptr, std::to_string(i).c_str(), caption, MB_OK), IDOK);
            }
        };
        std::thread first(post, "first");
        std::thread second(post, "second");
        first.join();
        second.join();
        MessageBoxA(nullptr, nullptr, nullptr, MB_OK);

        std::vector<winx::Message_Box> boxes = recorder.boxes();
        ASSERT_EQ(boxes.size(), size_t(2 * per_thread + 1));
        int next_first = 0;
        int next_second = 0;
        for (size_t i = 0; i + 1 < boxes.size(); ++i) {
            int& next = boxes[i].caption == "first" ? next_first : next_second;
            EXPECT_EQ(boxes[i].text, std::to_string(next)) << "box " << i << " out of order";
            ++next;
        }
        EXPECT_EQ(next_first, per_thread);
        EXPECT_EQ(boxes.back().caption, "Error");  // Win32's caption for a null one
        EXPECT_EQ(boxes.back().text, "");

        recorder.clear();
        EXPECT_TRUE(recorder.boxes().empty());
    }
    testing::internal::CaptureStderr();
    MessageBoxA(nullptr, "after", "Caption", MB_OK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Caption: after\n");
}

TEST(Message_Box, CustomSinkAnswersAndEmptySinkRestoresTheDefault) {
    std::string seen;
    winx::set_message_sink([&](const std::string& caption, const std::string& text) {
        seen = caption + "|" + text;
        return 7;
    });
    EXPECT_EQ(MessageBoxA(nullptr, "text", "caption", MB_OK), 7);
    EXPECT_EQ(seen, "caption|text");
    winx::set_message_sink(nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(nullptr, "text", "caption", MB_OK), IDOK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "caption: text\n");
}

}  // namespace
