// The `demo` command of the tovrek tool.
#pragma once

// argv holds the words after `demo`. Returns the process's exit status.
int demo_command(int argc, char** argv);
