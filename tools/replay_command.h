// The `replay` command of the tovrek tool.
#pragma once

#include "tools/tool_command.h"

extern const Tool_Command REPLAY_COMMAND;
