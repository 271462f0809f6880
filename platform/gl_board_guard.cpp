// The board-request guard: a glReadPixels whose destination holds a board
// request block goes to the board request handler and never to libGL, which
// would write a whole rectangle of pixels into the 40-byte block. Every other
// call passes straight through (the guard replaces only glReadPixels).
#include "platform/gl_board_guard.h"

#include <cstring>
#include <mutex>

namespace winx {
namespace {

std::mutex handler_mutex;
Board_Request_Handler& handler() {
    static auto* current = new Board_Request_Handler;
    return *current;
}

uint32_t word_at(const void* pointer, int index) {
    uint32_t word = 0;
    std::memcpy(&word, static_cast<const unsigned char*>(pointer) + 4 * index, sizeof word);
    return word;
}

void guarded_read_pixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                         GLvoid* pixels) {
    if (!is_board_request_block(pixels)) {
        board_request_guard().below().ReadPixels(x, y, width, height, format, type, pixels);
        return;
    }
    Board_Request request;
    request.code = word_at(pixels, board_request_code_word);
    request.x = x;
    request.y = y;
    request.width = width;
    request.height = height;
    request.format = format;
    request.type = type;
    request.context = wglGetCurrentContext();
    Board_Request_Handler carry_out;
    {
        std::lock_guard<std::mutex> lock(handler_mutex);
        carry_out = handler();
    }
    if (carry_out) carry_out(request);
}

}  // namespace

bool is_board_request_block(const void* pointer) {
    if (pointer == nullptr) return false;
    for (int index = 0; index < board_request_words; ++index)
        if (index != board_request_code_word && word_at(pointer, index) != board_request_marker) return false;
    return true;
}

void set_board_request_handler(Board_Request_Handler replacement) {
    std::lock_guard<std::mutex> lock(handler_mutex);
    handler() = std::move(replacement);
}

Gl_Layer& board_request_guard() {
    static Gl_Layer* guard = [] {
        auto* layer = new Gl_Layer;
        layer->entries.ReadPixels = guarded_read_pixels;
        return layer;
    }();
    return *guard;
}

}  // namespace winx
