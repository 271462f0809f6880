// Reading a trace file one statement at a time, so that a replay holds only
// the statement it plays, however long the trace. The file goes through zlib:
// a gzip-compressed trace (named FILE.trace.gz when recorded so) is read as
// its text, a plain one as it is. What statements refer to later (images,
// reads, devices) is the replay's to keep, not the reader's.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>

#include "tools/trace_lexer.h"
#include "tools/trace_statements.h"

class Trace_Reader {
public:
    Trace_Reader() = default;
    ~Trace_Reader();
    Trace_Reader(const Trace_Reader&) = delete;
    Trace_Reader& operator=(const Trace_Reader&) = delete;

    // False, with an error at line 0, when the file cannot be opened.
    bool open(const std::string& path, Read_Error* error);

    enum class Next { statement, end, error };
    // The next statement; `end` after the last one; `error` when a line, or
    // the compressed data holding it, cannot be read. Blank and comment
    // lines are passed over.
    Next next(Statement* statement, Read_Error* error);

    // How many bytes of trace text have been read into statements so far.
    uint64_t text_read() const { return text_read_; }

private:
    // The next line without its newline; false at the end of the text.
    // Throws Read_Error when the file cannot be read on.
    bool next_line(std::string* line);
    // Appends what the file holds next to buffer_; false at its end.
    bool fill();

    std::string path_;  // as zlib names it in its messages
    gzFile file_ = nullptr;
    std::string buffer_;  // read from the file, not yet handed out
    size_t line_start_ = 0;
    int line_number_ = 0;
    uint64_t text_read_ = 0;
};
