// The calling thread's last-error code (GetLastError, SetLastError).
#include "platform/windows.h"

namespace {
thread_local DWORD last_error = ERROR_SUCCESS;
}

DWORD WINAPI GetLastError(void) { return last_error; }

void WINAPI SetLastError(DWORD error) { last_error = error; }
