// Fuzz target trace-reader: any bytes through the trace reader (lexer and
// parser). The reader either yields statements or names the line and column
// of the first mistake; it never crashes, hangs or leaks.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tools/trace_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Trace trace;
    Read_Error error;
    if (!parse_trace(text, &trace, &error)) {
        // A refused text names where it went wrong, inside the text.
        if (error.line < 1 || error.column < 1 || error.expected.empty()) std::abort();
    }
    return 0;
}
