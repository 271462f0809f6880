// Walking the dash list: finding the entry at a distance along the line and
// stepping from entry to entry.
#include <cmath>

#include "host/dashes.h"

HT_Dash_Walker::HT_Dash_Walker(const std::vector<int32_t>& dashes) {
    const int count = dashes.size() < size_t(HT_MAX_DASHES) ? int(dashes.size()) : HT_MAX_DASHES;
    double sum = 0;
    for (int i = 0; i < count; ++i) {
        if (dashes[i] < 1) return;
        lengths_[i] = dashes[i];
        sum += dashes[i];
    }
    count_ = count;
    cycle_ = count % 2 == 0 ? count : 2 * count;
    period_ = count % 2 == 0 ? sum : 2 * sum;
}

void HT_Dash_Walker::seek(double distance) {
    if (solid()) return;
    double phase = std::fmod(distance, period_);
    if (!(phase >= 0)) phase = 0;
    double start = 0;
    for (index_ = 0; index_ < cycle_; ++index_) {
        const double end = start + lengths_[index_ % count_];
        if (phase < end) {
            remaining_ = end - phase;
            return;
        }
        start = end;
    }
    // Rounding left the phase at the very end of the period.
    index_ = 0;
    remaining_ = lengths_[0];
}

void HT_Dash_Walker::next() {
    if (solid()) return;
    index_ = (index_ + 1) % cycle_;
    remaining_ = lengths_[index_ % count_];
}
