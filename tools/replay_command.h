// The `replay` command of the tovrek tool.
#pragma once

// argv holds the words after `replay`. Returns the process's exit status.
int replay_command(int argc, char** argv);
