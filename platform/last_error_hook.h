// SetLastError for the WGL and GDI calls. The thread's last error belongs to
// the kernel part of this library; it is referenced weakly, so that the X11
// side also links where that part is not built.
#pragma once

#include "platform/windows.h"

void WINAPI SetLastError(DWORD error) __attribute__((weak));

namespace winx {
inline void report_last_error(DWORD error) {
    if (&SetLastError != nullptr) SetLastError(error);
}
}  // namespace winx
