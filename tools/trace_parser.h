// Reading a host call trace: the whole text is checked before anything runs,
// so a trace with a mistake on its last line runs nothing at all.
#pragma once

#include <string>

#include "tools/trace_lexer.h"
#include "tools/trace_statements.h"

// Parses the text of a trace into trace->statements (trace->path is left as
// it is). False, with the first error, when the text cannot be read.
bool parse_trace(const std::string& text, Trace* trace, Read_Error* error);

// Reads and parses the file at `path`. A file that cannot be opened is
// reported as an error at line 0.
bool read_trace_file(const std::string& path, Trace* trace, Read_Error* error);
