// The `info` command of the tovrek tool.
#pragma once

// argv holds the words after `info`. Returns the process's exit status.
int info_command(int argc, char** argv);
