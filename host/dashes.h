// The host's user-defined dash list as a walk along a line: on and off
// lengths in pixels, repeating, measured from the start of the polyline.
#pragma once

#include <cstdint>
#include <vector>

#include "host/rendition.h"

class HT_Dash_Walker {
public:
    // Uses the first 16 lengths. A list that is empty or holds a length
    // below 1 cannot be walked: the line is then solid().
    explicit HT_Dash_Walker(const std::vector<int32_t>& dashes);
    bool solid() const { return count_ == 0; }

    // Places the walker at `distance` pixels from the start of the line; a
    // position on the border of two entries belongs to the later one.
    void seek(double distance);
    bool on() const { return index_ % 2 == 0; }
    // What is left of the current entry, more than 0.
    double remaining() const { return remaining_; }
    // To the start of the following entry.
    void next();

private:
    double lengths_[HT_MAX_DASHES] = {};
    int count_ = 0;
    // Entries in one turn of the pattern: an odd list runs twice, on and
    // off changing places the second time.
    int cycle_ = 0;
    double period_ = 0;
    int index_ = 0;
    double remaining_ = 0;
};
