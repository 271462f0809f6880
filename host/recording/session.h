// One recording: the trace being written, the files beside it, and what the
// trace has said so far (the current device, the rendition, the options
// and window of each device, the board and registry, the last reads), so
// that a statement is written only where the replay would otherwise do
// something else. Every member is used under the recorder's lock.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "host/device.h"
#include "host/recording/pixel_files.h"
#include "host/recording/trace_output.h"

// A device whose action table and virtual operations the recorder has
// wrapped. It stays known as long as the device lives, recording or not:
// the wrappers call on through `original`.
struct Recorded_Device {
    HT_Action_Table original;
    // Host calls into the device now running: more than 0 means a call that
    // arrives is the device's own.
    std::atomic<int> depth{0};
    // The recording the device was made in (0: none); the trace knows it
    // under `name`.
    uint64_t session = 0;
    std::string name;
    std::map<std::string, std::string> options;  // as last written
    HT_Int_XY window = {-1, -1};                 // as last written
    // What the driver took at the last start: the window it clips
    // transfers to, and whether the board may answer transfers itself.
    HT_Int_XY viewport = {0, 0};
    bool fast_readback = false;
};

// The last colour or depth read as the trace knows it: its image and a
// copy of what it held when read, so that only an unedited hand-back is
// written as the restore step. `sequence` numbers the read statements:
// the image is that of the latest read statement written, whichever call
// returned last.
struct Last_Read {
    uint64_t sequence = 0;
    HT_Shared_Image image;
    std::vector<uint8_t> copy;
};

class Recording_Session {
public:
    // Opens the trace; `error` says why not.
    Recording_Session(const std::string& path, uint64_t id);
    bool opened() const { return opened_; }
    const std::string& error() const { return error_; }
    uint64_t id() const { return id_; }

    // A statement line, built in `line()` or given.
    std::string& line() { return line_; }
    void write(const std::string& line) { output_.write_line(line); }
    void flush() { output_.flush(); }

    // Makes the device the trace's current one.
    void use(const Recorded_Device& device);
    // The statements for a new device (board and registry where they
    // changed, then `device NAME`); gives the device its name.
    void new_device(Recorded_Device& device);
    // `device unused expect=null` for a construction that gave nothing.
    void no_device();
    void destroyed(const Recorded_Device& device);
    // Whatever part of the rendition differs from what the trace last said.
    void rendition(const HT_Rendition* rendition);

    Pixel_Files& files() { return files_; }
    Last_Read last_color;
    Last_Read last_depth;
    uint64_t read_sequence = 0;

private:
    void write_ground();

    Trace_Output output_;
    Pixel_Files files_;
    bool opened_ = false;
    std::string error_;
    uint64_t id_;
    std::string line_;
    int device_count_ = 0;
    std::string current_;
    std::string board_written_;
    std::vector<std::string> registry_written_;
    bool wrote_rendition_ = false;
    HT_Rendition written_;
};
