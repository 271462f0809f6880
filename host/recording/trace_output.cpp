// Gathering trace lines, and the writer thread that puts them out plainly
// (write(2)) or through zlib's gzwrite at its fastest level: a recording's
// cost is the host's time.
#include "host/recording/trace_output.h"

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstring>

namespace {

// Gathered lines are handed to the writer once they reach this size.
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
    stopping_ = false;
    writer_ = std::thread(&Trace_Output::run_writer, this);
    return true;
}

Trace_Output::~Trace_Output() { close(); }

void Trace_Output::write_line(const std::string& line) {
    pending_ += line;
    pending_ += '\n';
    if (pending_.size() >= WRITE_SIZE) hand_over();
}

void Trace_Output::wait_until_written(std::unique_lock<std::mutex>& lock) {
    changed_.wait(lock, [this] { return !piece_ready_; });
}

void Trace_Output::hand_over() {
    std::unique_lock<std::mutex> lock(mutex_);
    wait_until_written(lock);
    writing_.swap(pending_);
    pending_.clear();
    piece_ready_ = true;
    changed_.notify_all();
}

void Trace_Output::flush() {
    if (!writer_.joinable()) return;
    hand_over();
    std::unique_lock<std::mutex> lock(mutex_);
    wait_until_written(lock);
    sync_ = true;
    piece_ready_ = true;
    changed_.notify_all();
    wait_until_written(lock);
}

void Trace_Output::close() {
    if (writer_.joinable()) {
        flush();
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        writer_.join();
    }
    if (compressed_ != nullptr) {
        gzclose(static_cast<gzFile>(compressed_));  // closes the descriptor too
        compressed_ = nullptr;
        descriptor_ = -1;
    }
    if (descriptor_ >= 0) ::close(descriptor_);
    descriptor_ = -1;
}

void Trace_Output::write_out(const std::string& piece) {
    if (compressed_ != nullptr) {
        if (!piece.empty()) gzwrite(static_cast<gzFile>(compressed_), piece.data(), unsigned(piece.size()));
        return;
    }
    size_t done = 0;
    while (done < piece.size()) {
        const ssize_t written = ::write(descriptor_, piece.data() + done, piece.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) break;  // a full disk loses the rest, as it would any file
        done += size_t(written);
    }
}

// Writes each piece handed over; a piece with sync_ set is the flush.
void Trace_Output::run_writer() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return piece_ready_ || stopping_; });
        if (!piece_ready_) return;
        lock.unlock();
        write_out(writing_);
        writing_.clear();
        lock.lock();
        if (sync_ && compressed_ != nullptr) gzflush(static_cast<gzFile>(compressed_), Z_SYNC_FLUSH);
        sync_ = false;
        piece_ready_ = false;
        changed_.notify_all();
    }
}
