// Host sessions made from bytes (a fuzzer's, or a seeded generator's): any
// host call with any arguments that the replay fuzz target's bounds allow,
// made through the host library or on the object directly. Every buffer the
// host hands over ends just before an unreadable page and is as long as the
// call describes: the row step's rows, one row for a row step of 0, one
// colour for a one-colour primitive, and on an accelerated board with
// "Fast Readback" on one pixel for a marker image and one value for a depth
// write. The session is recorded, its trace replayed in this process, and
// the two pictures after the last show compared.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The largest window a session makes, and the most host calls it makes.
constexpr int SESSION_MAX_WINDOW_SIDE = 96;
constexpr int SESSION_MAX_CALLS = 40;

struct Session_Outcome {
    bool recorded = false;      // the trace could be written
    std::string problem;        // why the round trip failed; empty when it held
    size_t differing_pixels = 0;
    std::string trace_path;
};

// Readies this process for sessions: a device made and destroyed once, so
// that every session (and its replay) finds the module past its first
// construction.
void prepare_for_sessions(const std::string& module_path);

Session_Outcome run_generated_session(const uint8_t* data, size_t size, const std::string& module_path,
                                      const std::string& folder);
