// The statements of the pixel transfers: image, write_depth, the reads, and
// the restore steps (redraw, restore_depth) that hand an unedited read back
// whole. Pixels are read from the host's memory only where the driver reads
// them (host_memory.h); the rest of a file's rectangle is zero. Where the
// board may answer a transfer itself (an image whose first pixel's alpha is
// not 255, a depth write with "Fast Readback" on), the driver may read less
// than that; those reads go through a copy that cannot fault.
#pragma once

#include <cstdint>

#include "host/recording/session.h"

void write_image_statement(Recording_Session& session, const Recorded_Device& device, const HT_Point3D* start,
                           const HT_Point3D* end, int row_step, const void* pixels);
void write_depth_statement(Recording_Session& session, const Recorded_Device& device, const HT_Point3D* start,
                           const HT_Point3D* end, int row_step, const uint16_t* values);
// Writes the read and returns its number for note_read, 0 when the trace
// cannot hold it.
uint64_t write_read_statement(Recording_Session& session, bool depth, const HT_Point3D* start,
                              const HT_Point3D* end);
// What read number `sequence` returned, kept when it is still the latest.
void note_read(Recording_Session& session, bool depth, uint64_t sequence, const HT_Shared_Image& result);
