// The trace file as the recorder writes it: a long trace written to a ".gz"
// name, through several compressing writers and with flushes of every size
// between, reads back through zlib identical to the same lines written
// plainly; and after each flush the compressed file read so far is complete
// (no cut-off stream), as a host that dies there leaves it.
#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "host/recording/trace_output.h"
#include "tests/support/process.h"

namespace {

std::string file_text(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The whole text zlib reads from a gzip file; fails the test on any error,
// a stream that stops short included.
std::string gunzipped(const std::string& path) {
    gzFile file = gzopen(path.c_str(), "rb");
    EXPECT_NE(file, nullptr);
    if (file == nullptr) return std::string();
    std::string text;
    char buffer[1 << 16];
    int got = 0;
    while ((got = gzread(file, buffer, sizeof buffer)) > 0) text.append(buffer, size_t(got));
    int status = Z_OK;
    const char* reason = gzerror(file, &status);
    EXPECT_EQ(status, Z_OK) << reason;
    EXPECT_EQ(got, 0);
    gzclose(file);
    return text;
}

// Lines that differ from one another and compress unevenly, as statements do.
std::string line_number(int i) {
    std::string line = "gouraud_polytriangle " + std::to_string(int64_t(i) * 7919 % 100003) + ",";
    line.append(size_t(i % 97), char('a' + i % 26));
    return line;
}

TEST(Trace_Output, ALongCompressedTraceReadsBackAsThePlainOneAndIsCompleteAtEveryFlush) {
    const std::string folder = make_temporary_folder();
    const std::string plain_path = folder + "/long.trace";
    const std::string compressed_path = folder + "/long.trace.gz";
    Trace_Output plain;
    Trace_Output compressed;
    std::string error;
    ASSERT_TRUE(plain.open(plain_path, &error)) << error;
    ASSERT_TRUE(compressed.open(compressed_path, &error)) << error;
    std::string written;
    // About 24 MB: many pieces in flight at once, between flushes after one
    // line, after a few, and after several pieces' worth.
    const int flush_after[] = {1, 3, 5000, 40000, 120000};
    int line = 0;
    for (int round = 0; round < 2; ++round) {
        for (int lines : flush_after) {
            for (int i = 0; i < lines; ++i, ++line) {
                const std::string text = line_number(line);
                plain.write_line(text);
                compressed.write_line(text);
                written += text + '\n';
            }
            compressed.flush();
            ASSERT_EQ(gunzipped(compressed_path), written) << "after line " << line;
        }
    }
    plain.close();
    compressed.close();
    EXPECT_EQ(file_text(plain_path), written);
    EXPECT_EQ(gunzipped(compressed_path), written);
    EXPECT_LT(std::filesystem::file_size(compressed_path), written.size() / 3);
    std::filesystem::remove_all(folder);
}

}  // namespace
