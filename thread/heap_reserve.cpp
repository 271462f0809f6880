#include "thread/heap_reserve.h"

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
    for (std::size_t total = 0; total <= bytes; total += PIECE_BYTES) pieces.push_back(std::malloc(PIECE_BYTES));
    // The last piece, the highest in the heap, is the fence; the others join
    // into one free block below it.
    fence_ = pieces.back();
    pieces.pop_back();
    for (void* piece : pieces) std::free(piece);
}

Heap_Reserve::~Heap_Reserve() { std::free(fence_); }
