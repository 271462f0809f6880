// Transfer rectangles as the driver derives them, and a copy through
// process_vm_readv(2) on the process itself, which reports memory it cannot
// read instead of faulting.
#include "host/recording/host_memory.h"

#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int32_t COORDINATE_LIMIT = (1 << 30) - 1;

int32_t truncated(float value) {
    return int32_t(std::clamp(double(value), -double(COORDINATE_LIMIT), double(COORDINATE_LIMIT)));
}

}  // namespace

Transfer_Reach transfer_reach(const HT_Point3D& start, const HT_Point3D& end, HT_Int_XY window) {
    Transfer_Reach reach;
    if (std::isnan(start.x) || std::isnan(start.y) || std::isnan(end.x) || std::isnan(end.y)) return reach;
    const int64_t left = truncated(start.x), top = truncated(start.y);
    const int64_t width = int64_t(truncated(end.x)) - left + 1;
    const int64_t height = top - truncated(end.y) + 1;
    if (width < 1 || height < 1) return reach;
    reach.left = int32_t(left);
    reach.top = int32_t(top);
    reach.width = int32_t(width);
    reach.height = int32_t(height);
    const int64_t visible_left = std::max<int64_t>(left, 0);
    const int64_t visible_right = std::min<int64_t>(left + width - 1, int64_t(window.x) - 1);
    const int64_t visible_top = std::min<int64_t>(top, int64_t(window.y) - 1);
    const int64_t visible_bottom = std::max<int64_t>(top - height + 1, 0);
    if (visible_left > visible_right || visible_bottom > visible_top) return reach;
    reach.visible_column = int32_t(visible_left - left);
    reach.visible_row = int32_t(top - visible_top);
    reach.visible_width = int32_t(visible_right - visible_left + 1);
    reach.visible_height = int32_t(visible_top - visible_bottom + 1);
    return reach;
}

bool copy_host_memory_safely(void* target, const void* source, size_t size) {
    if (size == 0) return true;
    iovec local{target, size};
    iovec remote{const_cast<void*>(source), size};
    const ssize_t copied = process_vm_readv(getpid(), &local, 1, &remote, 1, 0);
    return copied == ssize_t(size);
}
