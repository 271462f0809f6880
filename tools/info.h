// The `info` command of the tovrek tool.
#pragma once

#include "tools/tool_command.h"

extern const Tool_Command INFO_COMMAND;
