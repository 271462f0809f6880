// The virtual board's OpenGL driver: per rendering context, what the fast
// reads kept, and the requests that keep and put back. A request's rectangle
// may reach outside the window; only its part inside the window is kept, at
// its place within the rectangle, and only what lands inside the window is
// put back.
#include "platform/board_gl.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

#include "platform/board_gl_copy.h"
#include "platform/wgl_rebind.h"

namespace winx {
namespace {

// What one fast read kept.
struct Kept_Block {
    bool kept = false;
    int64_t width = 0;   // the request's rectangle
    int64_t height = 0;
    Board_Block part;    // the kept part, relative to the rectangle's lower-left pixel
    std::vector<uint32_t> values;  // part.width x part.height, bottom row first
};

struct Context_Memory {
    Kept_Block colors;
    Kept_Block depths;
};

// Each context's memory is used only by the thread that has the context
// current; the lock guards the map alone.
std::mutex memory_mutex;
std::map<HGLRC, std::unique_ptr<Context_Memory>>& memories() {
    static auto* all = new std::map<HGLRC, std::unique_ptr<Context_Memory>>;
    return *all;
}

Context_Memory& memory_of(HGLRC context) {
    std::lock_guard<std::mutex> lock(memory_mutex);
    std::unique_ptr<Context_Memory>& memory = memories()[context];
    if (!memory) memory = std::make_unique<Context_Memory>();
    return *memory;
}

}  // namespace

void forget_board_memory(HGLRC context) {
    std::lock_guard<std::mutex> lock(memory_mutex);
    memories().erase(context);
}

namespace {

// The request's rectangle in window pixels; its y counts rows from the top.
Board_Block request_block(const Board_Request& request, const Board_Block& window) {
    const int64_t top = window.bottom + window.height - 1 - int64_t(request.y);
    return Board_Block{request.x, top - request.height + 1, request.width, request.height};
}

void keep(Board_Plane plane, const Board_Request& request, Kept_Block& kept) {
    kept.kept = false;
    const Board_Block window = board_window();
    const Board_Block rectangle = request_block(request, window);
    const Board_Block visible = clip_block(rectangle, window);
    std::vector<uint32_t> values;
    try {
        values.resize(size_t(visible.width * visible.height));
    } catch (const std::bad_alloc&) {
        return;  // nothing kept: a later put-back changes nothing
    }
    if (!visible.empty()) board_read_block(plane, visible, values.data());
    kept.width = rectangle.width;
    kept.height = rectangle.height;
    kept.part = Board_Block{visible.left - rectangle.left, visible.bottom - rectangle.bottom,
                            visible.width, visible.height};
    kept.values = std::move(values);
    kept.kept = true;
}

void put_back(Board_Plane plane, const Board_Request& request, const Kept_Block& kept) {
    if (!kept.kept || kept.width != request.width || kept.height != request.height) return;
    const Board_Block window = board_window();
    const Board_Block rectangle = request_block(request, window);
    const Board_Block target{rectangle.left + kept.part.left, rectangle.bottom + kept.part.bottom,
                             kept.part.width, kept.part.height};
    const Board_Block visible = clip_block(target, window);
    if (visible.empty()) return;
    if (visible.width == target.width && visible.height == target.height) {
        board_draw_block(plane, visible, kept.values.data());
        return;
    }
    // Only part of what was kept lands inside the window here: draw that part.
    std::vector<uint32_t> part;
    try {
        part.resize(size_t(visible.width * visible.height));
    } catch (const std::bad_alloc&) {
        return;
    }
    const int64_t skip_columns = visible.left - target.left;
    const int64_t skip_rows = visible.bottom - target.bottom;
    for (int64_t row = 0; row < visible.height; ++row) {
        const uint32_t* source = kept.values.data() + (row + skip_rows) * target.width + skip_columns;
        std::copy(source, source + visible.width, part.data() + row * visible.width);
    }
    board_draw_block(plane, visible, part.data());
}

const bool handler_installed = [] {
    set_board_request_handler(carry_out_board_request);
    return true;
}();

}  // namespace

void carry_out_board_request(const Board_Request& request) {
    if (request.context == nullptr || request.width < 1 || request.height < 1) return;
    // The window may have been resized by another context since this one
    // last drew: only what the window holds now may be read or drawn.
    bind_current_context_again();
    switch (request.code) {
        case board_fast_read_color:
            keep(Board_Plane::colors, request, memory_of(request.context).colors);
            break;
        case board_fast_read_depth:
            keep(Board_Plane::depths, request, memory_of(request.context).depths);
            break;
        case board_fast_draw_color:
            put_back(Board_Plane::colors, request, memory_of(request.context).colors);
            break;
        case board_fast_write_depth:
            put_back(Board_Plane::depths, request, memory_of(request.context).depths);
            break;
        default:
            break;
    }
}

}  // namespace winx
