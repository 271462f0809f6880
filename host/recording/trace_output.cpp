// Gathering trace lines and writing them out plainly (write(2)) or through
// zlib's gzwrite, which compresses at its fastest level: a recording's cost
// is the host's time.
#include "host/recording/trace_output.h"

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstring>

namespace {

// Gathered lines are written once they reach this size.
constexpr size_t WRITE_SIZE = size_t(1) << 20;

bool ends_with(const std::string& text, const char* end) {
    const size_t length = std::strlen(end);
    return text.size() >= length && text.compare(text.size() - length, length, end) == 0;
}

}  // namespace

bool Trace_Output::open(const std::string& path, std::string* error) {
    close();
    descriptor_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (descriptor_ < 0) {
        *error = "cannot record to " + path + ": " + std::strerror(errno);
        return false;
    }
    if (ends_with(path, ".gz")) {
        compressed_ = gzdopen(descriptor_, "wb1");
        if (compressed_ == nullptr) {
            ::close(descriptor_);
            descriptor_ = -1;
            *error = "cannot compress into " + path;
            return false;
        }
    }
    pending_.reserve(WRITE_SIZE + 4096);
    return true;
}

Trace_Output::~Trace_Output() { close(); }

void Trace_Output::write_line(const std::string& line) {
    pending_ += line;
    pending_ += '\n';
    if (pending_.size() >= WRITE_SIZE) write_out();
}

void Trace_Output::write_out() {
    if (compressed_ != nullptr) {
        if (!pending_.empty()) gzwrite(static_cast<gzFile>(compressed_), pending_.data(), unsigned(pending_.size()));
    } else if (descriptor_ >= 0) {
        size_t done = 0;
        while (done < pending_.size()) {
            const ssize_t written = ::write(descriptor_, pending_.data() + done, pending_.size() - done);
            if (written < 0 && errno == EINTR) continue;
            if (written <= 0) break;  // a full disk loses the rest, as it would any file
            done += size_t(written);
        }
    }
    pending_.clear();
}

void Trace_Output::flush() {
    write_out();
    if (compressed_ != nullptr) gzflush(static_cast<gzFile>(compressed_), Z_SYNC_FLUSH);
}

void Trace_Output::close() {
    write_out();
    if (compressed_ != nullptr) {
        gzclose(static_cast<gzFile>(compressed_));  // closes the descriptor too
        compressed_ = nullptr;
        descriptor_ = -1;
    }
    if (descriptor_ >= 0) ::close(descriptor_);
    descriptor_ = -1;
}
