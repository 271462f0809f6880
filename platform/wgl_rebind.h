// Binding the calling thread's current rendering context to its window once
// more, for the board: private to platform/, next to what WGL keeps per
// thread (wgl_context.cpp).
#pragma once

namespace winx {

// Several contexts may draw into one window, and another context may resize
// it (another object's start) while this one keeps its old viewport. Mesa's
// software rasteriser clips a glReadPixels to the window size its context
// last took, yet reads the window's present buffers: a read sized for a
// larger window than there now is reads outside them. Binding the context
// again makes it take the present size first. Does nothing for a thread
// without a current context.
void bind_current_context_again();

}  // namespace winx
