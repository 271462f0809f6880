// A reserve of heap memory that stays mapped for the thread that made it.
//
// OpenGL on a software rasteriser allocates and frees tens of megabytes on
// the render thread every frame (the scene it bins the frame's triangles
// into). The C library returns the free top of a thread's heap to the kernel
// after such frees, so every frame faulted all those pages in again: half the
// render thread's time on a large model. The reserve is carved from the
// thread's heap once and freed below a block that stays allocated, so the
// heap's top cannot shrink past it; the frames' allocations come from the
// reserve, and its pages, once touched, stay. Pages never touched are never
// backed: the cost is address space, not memory. This does not change how
// the library allocates anywhere else, nor for any other thread.
#pragma once

#include <cstddef>

class Heap_Reserve {
public:
    // Made on the thread whose heap is to keep the reserve.
    explicit Heap_Reserve(std::size_t bytes);
    ~Heap_Reserve();
    Heap_Reserve(const Heap_Reserve&) = delete;
    Heap_Reserve& operator=(const Heap_Reserve&) = delete;

private:
    void* fence_ = nullptr;
};

// A frame takes about 200 bytes a triangle: the engine model (48,000
// triangles) at 640 x 480 took 24 to 32 MB, and 300,000 small triangles at
// 320 x 240 between 64 and 128 MB. Beyond the reserve, frames fault their
// pages in as before.
constexpr std::size_t RENDER_THREAD_HEAP_RESERVE = 128u << 20;
