// The trace file a recording writes: lines gathered in memory and written in
// large pieces, compressed with zlib when the file's name ends in ".gz".
// The files that statements name are written by pixel_files.h, not here.
#pragma once

#include <string>

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
    void write_out();

    void* compressed_ = nullptr;  // a gzFile
    int descriptor_ = -1;
    std::string pending_;
};
