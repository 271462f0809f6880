// The platform's side of the failures that tests inject (winx.h): each call
// that can be made to fail asks here first. Private to platform/.
#pragma once

#include "platform/winx.h"

namespace winx {

// Counts the call; true when it is the armed one and must fail.
bool fail_this_call(Failing_Call call);

}  // namespace winx
