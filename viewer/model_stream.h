// The outcome of one model import as a stream of bytes: how the import child
// hands its model (or its reason for refusing the file) to the viewer. The
// reader trusts nothing it reads: a stream that is cut short, runs on past
// its end, or holds a count, size or index out of range is refused as a
// whole, since a child that crashed half-way leaves exactly such a stream.
// It does not carry models between machines: both ends are one program, so
// numbers go in the machine's own byte order.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "viewer/model.h"

struct Import_Outcome {
    bool imported = false;
    Model model;         // when imported
    std::string reason;  // one line, when not
};

// Takes `size` bytes; false when they could not be sent.
using Stream_Write = std::function<bool(const void* bytes, size_t size)>;
// Fills `size` bytes; false when the stream ended (or failed) before that.
using Stream_Read = std::function<bool(void* into, size_t size)>;

bool write_import_outcome(const Import_Outcome& outcome, const Stream_Write& write);

// False, with what was wrong in `damage`, unless the stream holds exactly
// one whole, consistent outcome. Memory grows with the bytes that arrive,
// never with a count that the stream merely states.
bool read_import_outcome(const Stream_Read& read, Import_Outcome* outcome, std::string* damage);
