#include "thread/heap_reserve.h"

#include <malloc.h>

#include <cstdlib>
#include <vector>

namespace {

// Pieces below the size the C library would map on their own (128 KB at
// first), so that they come from the thread's heap, one after another.
constexpr std::size_t PIECE_BYTES = 64u << 10;

}  // namespace

Heap_Reserve::Heap_Reserve(std::size_t bytes) {
    std::vector<void*> pieces;
    pieces.reserve(bytes / PIECE_BYTES + 1);
    for (std::size_t total = 0; total <= bytes; total += PIECE_BYTES) {
        void* piece = std::malloc(PIECE_BYTES);
        if (piece == nullptr) break;
        pieces.push_back(piece);
    }
    if (pieces.empty()) return;
    // The last piece, the highest in the heap, is the fence; the others join
    // into one free block below it.
    fence_ = pieces.back();
    pieces.pop_back();
    for (void* piece : pieces) std::free(piece);
    // Making the pieces wrote the library's bookkeeping into a page of each
    // (8 MB of a 128 MB reserve). Handing the free pages back keeps the
    // block's address space and bookkeeping, so the reserve is resident only
    // where a frame uses it.
    malloc_trim(0);
}

Heap_Reserve::~Heap_Reserve() { std::free(fence_); }
