// The frames of one renderer kept for comparison with another's, frame by
// frame: in an unnamed temporary file rather than in memory, since a long
// orbit of large frames would not fit.
#pragma once

#include <cstdio>
#include <string>

#include "platform/winx.h"

class Frame_Store {
public:
    Frame_Store();
    ~Frame_Store();
    Frame_Store(const Frame_Store&) = delete;
    Frame_Store& operator=(const Frame_Store&) = delete;

    // Frames are added in order, all of one size; false, with the reason,
    // when the file cannot hold them.
    bool add(const winx::Window_Snapshot& frame, std::string* error);
    // Frame `index` (from 0); false when there is no such frame.
    bool get(int index, winx::Window_Snapshot* frame) const;
    int count() const { return count_; }

private:
    std::FILE* file_;
    int count_ = 0;
    int width_ = 0;
    int height_ = 0;
};
