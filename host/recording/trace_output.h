// The trace file a recording writes: lines gathered in memory and handed in
// large pieces to a thread of its own, which writes them plainly or, when
// the file's name ends in ".gz", compresses them with zlib. The host's
// thread only ever waits for the writer when it has a second piece ready
// before the first is out, and at flush. The files that statements name are
// written by pixel_files.h, not here.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

class Trace_Output {
public:
    // Opens (truncating) the file; false, with a reason, when it cannot.
    bool open(const std::string& path, std::string* error);
    ~Trace_Output();

    // Takes one statement without its line end.
    void write_line(const std::string& line);
    // Hands everything gathered so far to the file and the system, so that
    // a host that dies later leaves a trace up to here.
    void flush();
    void close();

private:
    void hand_over();
    void wait_until_written(std::unique_lock<std::mutex>& lock);
    void write_out(const std::string& piece);
    void run_writer();

    void* compressed_ = nullptr;  // a gzFile
    int descriptor_ = -1;
    std::string pending_;  // the host's side
    std::string writing_;  // the writer's side, when full
    bool piece_ready_ = false;
    bool sync_ = false;  // the writer also flushes zlib and the system
    bool stopping_ = false;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::thread writer_;
};
