#pragma once

#include "tools/tool_command.h"

extern const Tool_Command VIEW_COMMAND;
