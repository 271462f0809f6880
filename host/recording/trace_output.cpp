// Gathering trace lines, and the writer threads that put them out plainly
// (write(2)) or as gzip members deflated at zlib's fastest level: a
// recording's cost is the host's time, and compressing is most of it.
#include "host/recording/trace_output.h"

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// Gathered lines are handed over once they reach this size: small enough
// that the host's wait at a flush is short, large enough that a gzip
// member's header and trailer (18 bytes) and fresh start cost nothing.
constexpr size_t PIECE_SIZE = size_t(256) << 10;
// Pieces handed over and not yet written, at most, for each writer.
constexpr uint64_t PIECES_PER_WRITER = 2;
constexpr unsigned MAX_COMPRESSING_WRITERS = 8;

// gzip framing (windowBits 15 + 16) at level 1.
constexpr int GZIP_WINDOW_BITS = 15 + 16;
constexpr int MEMORY_LEVEL = 8;

bool ends_with(const std::string& text, const char* end) {
    const size_t length = std::strlen(end);
    return text.size() >= length && text.compare(text.size() - length, length, end) == 0;
}

// One writer's deflate stream, reset for each piece.
class Member_Compressor {
public:
    Member_Compressor() {
        ready_ = deflateInit2(&stream_, 1, Z_DEFLATED, GZIP_WINDOW_BITS, MEMORY_LEVEL, Z_DEFAULT_STRATEGY) == Z_OK;
    }
    ~Member_Compressor() {
        if (ready_) deflateEnd(&stream_);
    }
    Member_Compressor(const Member_Compressor&) = delete;
    Member_Compressor& operator=(const Member_Compressor&) = delete;

    // The piece as one complete gzip member; empty when zlib has no memory
    // for it, and the piece is lost as a full disk would lose it.
    std::string member_of(const std::string& piece) {
        std::string member;
        if (!ready_ || deflateReset(&stream_) != Z_OK) return member;
        member.resize(deflateBound(&stream_, uLong(piece.size())));
        stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(piece.data()));
        stream_.avail_in = uInt(piece.size());
        stream_.next_out = reinterpret_cast<Bytef*>(&member[0]);
        stream_.avail_out = uInt(member.size());
        if (deflate(&stream_, Z_FINISH) != Z_STREAM_END) return std::string();
        member.resize(stream_.total_out);
        return member;
    }

private:
    z_stream stream_{};
    bool ready_ = false;
};

}  // namespace

bool Trace_Output::open(const std::string& path, std::string* error) {
    close();
    descriptor_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (descriptor_ < 0) {
        *error = "cannot record to " + path + ": " + std::strerror(errno);
        return false;
    }
    compressed_ = ends_with(path, ".gz");
    pending_.reserve(PIECE_SIZE + 4096);
    stopping_ = false;
    const unsigned writers =
        compressed_ ? std::clamp(std::thread::hardware_concurrency(), 2u, MAX_COMPRESSING_WRITERS) : 1u;
    for (unsigned i = 0; i < writers; ++i) writers_.emplace_back(&Trace_Output::run_writer, this);
    return true;
}

Trace_Output::~Trace_Output() { close(); }

void Trace_Output::write_line(const std::string& line) {
    pending_ += line;
    pending_ += '\n';
    if (pending_.size() >= PIECE_SIZE) hand_over();
}

void Trace_Output::hand_over() {
    if (writers_.empty()) {  // not open: there is nowhere to write
        pending_.clear();
        return;
    }
    std::unique_lock<std::mutex> lock(mutex_);
    const uint64_t most_on_the_way = PIECES_PER_WRITER * writers_.size();
    changed_.wait(lock, [&] { return handed_count_ - written_count_ < most_on_the_way; });
    handed_.push_back(std::move(pending_));
    ++handed_count_;
    pending_.clear();
    pending_.reserve(PIECE_SIZE + 4096);
    changed_.notify_all();
}

void Trace_Output::flush() {
    if (writers_.empty()) return;
    if (!pending_.empty()) hand_over();
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return written_count_ == handed_count_; });
}

void Trace_Output::close() {
    if (!writers_.empty()) {
        flush();
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        for (std::thread& writer : writers_) writer.join();
        writers_.clear();
    }
    if (descriptor_ >= 0) ::close(descriptor_);
    descriptor_ = -1;
}

void Trace_Output::write_all(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(descriptor_, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) break;  // a full disk loses the rest, as it would any file
        done += size_t(written);
    }
}

// Takes the oldest piece handed over, compresses it while other writers
// compress theirs, and writes it once every piece before it is written.
void Trace_Output::run_writer() {
    Member_Compressor compressor;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return !handed_.empty() || stopping_; });
        if (handed_.empty()) return;
        std::string piece = std::move(handed_.front());
        handed_.pop_front();
        const uint64_t number = taken_count_++;
        lock.unlock();
        const std::string out = compressed_ ? compressor.member_of(piece) : std::move(piece);
        lock.lock();
        changed_.wait(lock, [&] { return written_count_ == number; });
        lock.unlock();
        write_all(out);
        lock.lock();
        ++written_count_;
        changed_.notify_all();
    }
}
