// The trace file a recording writes: lines gathered in memory and handed in
// pieces to threads of their own, which write them plainly or, when the
// file's name ends in ".gz", compress each piece into a gzip member of its
// own, several pieces at once, and write the members in the order the pieces
// were handed over (the members together are one gzip file). At most a few
// pieces are on their way at any time: the host's thread waits when the
// writers are that far behind, and at flush. The files that statements name
// are written by pixel_files.h, not here.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class Trace_Output {
public:
    // Opens (truncating) the file; false, with a reason, when it cannot.
    bool open(const std::string& path, std::string* error);
    ~Trace_Output();

    // Takes one statement without its line end.
    void write_line(const std::string& line);
    // Hands everything gathered so far to the file and the system, so that
    // a host that dies later leaves a complete trace up to here.
    void flush();
    void close();

private:
    void hand_over();
    void run_writer();
    void write_all(const std::string& bytes);

    int descriptor_ = -1;
    bool compressed_ = false;
    std::string pending_;  // the host's side
    std::deque<std::string> handed_;  // waiting for a writer
    uint64_t handed_count_ = 0;   // pieces handed over so far
    uint64_t taken_count_ = 0;    // of which a writer has taken
    uint64_t written_count_ = 0;  // of which are in the file
    bool stopping_ = false;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::thread> writers_;
};
