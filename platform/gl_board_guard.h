// The board-request guard layer, which the dispatch table puts directly
// above the system table when it is filled. Private to platform/.
#pragma once

#include "platform/gl_layers.h"

namespace winx {
Gl_Layer& board_request_guard();
}  // namespace winx
