// Long and compressed traces with `tovrek replay`: the trace is played as it
// is read, so memory stays flat however long it is and a mistake past the
// first MiB stops a replay that has begun; gzip-compressed traces are read
// as their text, and a damaged one is refused where its data ends.
#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/process.h"

namespace {

class Trace_Streaming : public testing::Test {
protected:
    void SetUp() override {
        folder_ = make_temporary_folder();
        ASSERT_FALSE(folder_.empty());
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    Process_Result replay(const std::string& trace) {
        return run_process({TOVREK_TOOL_PATH, "replay", trace, "--out", folder_ + "/out"});
    }

    std::string write_plain(const std::string& name, const std::string& text) {
        std::string path = folder_ + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    std::string write_compressed(const std::string& name, const std::string& text) {
        std::string path = folder_ + "/" + name;
        gzFile file = gzopen(path.c_str(), "wb");
        EXPECT_NE(file, nullptr);
        EXPECT_EQ(gzwrite(file, text.data(), unsigned(text.size())), int(text.size()));
        gzclose(file);
        return path;
    }

    bool out_exists(const std::string& file) const { return std::filesystem::exists(folder_ + "/out/" + file); }

    std::string folder_;
};

// Statements that play without a device and never fail.
std::string rendition_lines(size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i) text += i % 2 == 0 ? "color #ff8000\n" : "line weight=2\n";
    return text;
}

TEST_F(Trace_Streaming, MemoryDoesNotGrowWithTheTracesLength) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizer keeps freed memory for a while";
#endif
    // Both are longer than the MiB read before playing: 2 MB and 21 MB of
    // text, which as statements held at once take ten times that.
    Process_Result shorter = replay(write_plain("shorter.trace", rendition_lines(150000)));
    Process_Result longer = replay(write_plain("longer.trace", rendition_lines(1500000)));
    ASSERT_EQ(shorter.status, 0) << shorter.errors;
    ASSERT_EQ(longer.status, 0) << longer.errors;
    EXPECT_LT(longer.peak_kib - shorter.peak_kib, 4 * 1024)
        << "shorter: " << shorter.peak_kib << " KiB, longer: " << longer.peak_kib << " KiB";
}

TEST_F(Trace_Streaming, AMistakePastTheFirstMebibyteStopsTheReplayThere) {
    const std::string head = "window 16 16\nsnapshot before.png\n" + rendition_lines(100000);
    const int bad_line = 2 + 100000 + 1;
    std::string trace = write_plain("late.trace", head + "color #ff00\nsnapshot after.png\n");
    Process_Result result = replay(trace);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.errors, trace + ":" + std::to_string(bad_line) + ":6: expected a colour #RRGGBB or #RRGGBBAA\n");
    EXPECT_TRUE(out_exists("before.png")) << "the replay had begun";
    EXPECT_FALSE(out_exists("after.png")) << "nothing past the mistake runs";
}

TEST_F(Trace_Streaming, ACompressedTraceIsReadAsItsText) {
    std::string trace = write_compressed("case.trace.gz",
                                         "window 16 8\n"
                                         "# a comment\n"
                                         "snapshot shot.png\n"
                                         "expect pixel 16 0 #000000");
    Process_Result result = replay(trace);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.errors, trace + ":4: expected (16,0) inside the snapshot, got a snapshot of 16x8\n");
    EXPECT_TRUE(out_exists("shot.png"));
}

TEST_F(Trace_Streaming, ADamagedCompressedTraceIsRefusedWhereItsDataEnds) {
    std::string whole = write_compressed("whole.trace.gz", "window 16 16\nsnapshot before.png\n" + rendition_lines(200000));
    std::string compressed;
    {
        std::ifstream file(whole, std::ios::binary);
        compressed.assign(std::istreambuf_iterator<char>(file), {});
    }
    ASSERT_GT(compressed.size(), 100u);

    std::string cut = write_plain("cut.trace.gz", compressed.substr(0, compressed.size() / 2));
    Process_Result cut_result = replay(cut);
    EXPECT_EQ(cut_result.status, 2);
    EXPECT_NE(cut_result.errors.find(": expected more of the trace, got unexpected end of file\n"), std::string::npos)
        << cut_result.errors;
    EXPECT_EQ(cut_result.errors.find('\n'), cut_result.errors.size() - 1) << cut_result.errors;

    std::filesystem::remove_all(folder_ + "/out");
    std::string damaged_bytes = compressed;
    for (size_t i = 20; i < 60; ++i) damaged_bytes[i] = char(0xff);
    Process_Result damaged = replay(write_plain("damaged.trace.gz", damaged_bytes));
    EXPECT_EQ(damaged.status, 2);
    EXPECT_NE(damaged.errors.find(":1:1: expected more of the trace, got "), std::string::npos) << damaged.errors;
    EXPECT_FALSE(out_exists("before.png")) << "a trace damaged within its first MiB runs nothing";
}

}  // namespace
