// Frames back to back as raw pixels in a tmpfile(), which goes away with
// the process however it ends.
#include "viewer/frame_store.h"

Frame_Store::Frame_Store() : file_(std::tmpfile()) {}

Frame_Store::~Frame_Store() {
    if (file_ != nullptr) std::fclose(file_);
}

bool Frame_Store::add(const winx::Window_Snapshot& frame, std::string* error) {
    if (count_ == 0) {
        width_ = frame.width;
        height_ = frame.height;
    }
    const size_t pixels = size_t(width_) * size_t(height_);
    if (file_ == nullptr || frame.width != width_ || frame.height != height_ || frame.pixels.size() != pixels ||
        std::fseek(file_, long(pixels * sizeof(uint32_t)) * count_, SEEK_SET) != 0 ||
        std::fwrite(frame.pixels.data(), sizeof(uint32_t), pixels, file_) != pixels) {
        *error = "the frames for the comparison cannot be kept in a temporary file";
        return false;
    }
    ++count_;
    return true;
}

bool Frame_Store::get(int index, winx::Window_Snapshot* frame) const {
    if (file_ == nullptr || index < 0 || index >= count_) return false;
    const size_t pixels = size_t(width_) * size_t(height_);
    frame->width = width_;
    frame->height = height_;
    frame->pixels.resize(pixels);
    return std::fseek(file_, long(pixels * sizeof(uint32_t)) * index, SEEK_SET) == 0 &&
           std::fread(frame->pixels.data(), sizeof(uint32_t), pixels, file_) == pixels;
}
