// What the virtual board keeps per rendering context, seen from WGL, which
// must not see OpenGL's own declarations.
#pragma once

#include "platform/windows.h"

namespace winx {

// Forgets what the board kept for a context that is being deleted, so that a
// later context which happens to get the same handle starts with nothing kept.
void forget_board_memory(HGLRC context);

}  // namespace winx
