// The `demo` command of the tovrek tool.
#pragma once

#include "tools/tool_command.h"

extern const Tool_Command DEMO_COMMAND;
