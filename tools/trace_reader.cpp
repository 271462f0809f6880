// The statement-by-statement trace reader over zlib's gzread.
#include "tools/trace_reader.h"

#include <algorithm>
#include <climits>
#include <filesystem>

#include "tools/trace_parser.h"

namespace {

// Read from the file at a time; lines longer than this grow the buffer.
constexpr unsigned CHUNK_BYTES = 256 * 1024;

}  // namespace

Trace_Reader::~Trace_Reader() {
    if (file_ != nullptr) gzclose(file_);
}

bool Trace_Reader::open(const std::string& path, Read_Error* error) {
    path_ = path;
    std::error_code unknown;
    // A folder opens, and fails only when read.
    if (!std::filesystem::is_directory(path, unknown)) file_ = gzopen(path.c_str(), "rb");
    if (file_ == nullptr) {
        *error = {0, 0, "expected a readable trace file"};
        return false;
    }
    gzbuffer(file_, CHUNK_BYTES);
    return true;
}

Trace_Reader::Next Trace_Reader::next(Statement* statement, Read_Error* error) {
    try {
        std::string line;
        while (next_line(&line)) {
            text_read_ += line.size() + 1;
            if (parse_trace_line(line, line_number_, statement)) return Next::statement;
        }
        return Next::end;
    } catch (const Read_Error& failure) {
        *error = failure;
        return Next::error;
    }
}

bool Trace_Reader::next_line(std::string* line) {
    size_t newline = buffer_.find('\n', line_start_);
    while (newline == std::string::npos) {
        size_t unended = buffer_.size() - line_start_;
        if (!fill()) break;
        newline = buffer_.find('\n', unended);  // fill moved the unended line to the front
    }
    if (newline == std::string::npos && line_start_ == buffer_.size()) return false;
    if (line_number_ == INT_MAX) throw Read_Error{line_number_, 1, "expected at most 2147483647 lines"};
    ++line_number_;
    size_t end = newline == std::string::npos ? buffer_.size() : newline;
    line->assign(buffer_, line_start_, end - line_start_);
    line_start_ = newline == std::string::npos ? end : end + 1;
    return true;
}

bool Trace_Reader::fill() {
    buffer_.erase(0, line_start_);
    line_start_ = 0;
    const size_t kept = buffer_.size();
    buffer_.resize(kept + CHUNK_BYTES);
    int got = gzread(file_, &buffer_[kept], CHUNK_BYTES);
    buffer_.resize(kept + size_t(std::max(got, 0)));
    if (got > 0) return true;
    // A compressed stream cut short ends with what it held, then Z_BUF_ERROR.
    int status = Z_OK;
    std::string reason = gzerror(file_, &status);
    if (got == 0 && status == Z_OK) return false;
    if (reason.rfind(path_ + ": ", 0) == 0) reason.erase(0, path_.size() + 2);
    throw Read_Error{std::min(line_number_, INT_MAX - 1) + 1, int(std::min<size_t>(buffer_.size(), INT_MAX - 1)) + 1,
                     "expected more of the trace, got " + reason};
}
