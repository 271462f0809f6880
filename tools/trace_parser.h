// Reading host call trace text: one line at a time into a statement, or a
// whole text at once. Files are read by the Trace_Reader of trace_reader.h.
#pragma once

#include <string>

#include "tools/trace_lexer.h"
#include "tools/trace_statements.h"

// Parses line `number` of a trace. True, with *statement filled in, when the
// line holds a statement; false for a blank or comment line. Throws
// Read_Error when the line cannot be read.
bool parse_trace_line(const std::string& line, int number, Statement* statement);

// Parses the text of a trace into trace->statements (trace->path is left as
// it is). False, with the first error, when the text cannot be read.
bool parse_trace(const std::string& text, Trace* trace, Read_Error* error);
