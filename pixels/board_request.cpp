// Sending a board request through the renderer object's own request block.
// Each object has its own block, so render threads of several objects never
// write into one another's requests.
#include "pixels/board_request.h"

void send_board_request(OGL_Device_Data* device, Board_Request_Code code, int32_t x,
                        int32_t y_from_top, int32_t width, int32_t height, GLenum format) {
    uint32_t* block = device->board_request_block;
    // The whole block is marked on every request: the board recognises a
    // request only by all nine marker words.
    for (int word = 0; word < BOARD_REQUEST_WORDS; ++word) block[word] = BOARD_REQUEST_MARKER;
    block[BOARD_REQUEST_CODE_WORD] = code;
    glReadPixels(x, y_from_top, width, height, format, GL_UNSIGNED_INT, block);
}
