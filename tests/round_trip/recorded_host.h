// A host on libvudoz that records what it does: one window, whose device
// context every device it makes draws into (as `tovrek replay` does), and
// the host calls made either through the host library's functions or on
// the objects directly. Its counterpart replays the trace in this process,
// so that the two pictures after the last show can be compared.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/device.h"
#include "host/loader.h"
#include "platform/winx.h"

// Memory whose last byte lies just before a page that cannot be read: a
// recorder that reads past what the host handed over faults at once.
class Guarded_Bytes {
public:
    explicit Guarded_Bytes(size_t size);
    ~Guarded_Bytes();
    Guarded_Bytes(const Guarded_Bytes&) = delete;
    Guarded_Bytes& operator=(const Guarded_Bytes&) = delete;
    uint8_t* data() const { return data_; }
    size_t size() const { return size_; }

private:
    void* mapping_ = nullptr;
    size_t mapping_size_ = 0;
    uint8_t* data_ = nullptr;
    size_t size_ = 0;
};

class Recorded_Host {
public:
    // Records into `trace_path` from now on; check recording() before use.
    Recorded_Host(const std::string& module_path, const std::string& trace_path, int width, int height);
    // Ends the recording and destroys what is left, as a host that quits.
    ~Recorded_Host();
    Recorded_Host(const Recorded_Host&) = delete;
    Recorded_Host& operator=(const Recorded_Host&) = delete;

    bool recording() const { return recording_; }
    const std::string& error() const { return error_; }

    // HD_Device with the window's size and context; null when it gave none.
    HT_Device_Data* make_device();
    // The window resized, and every live device told.
    void resize(int width, int height);
    void start(HT_Device_Data* device, bool directly);
    // Shows the frame and keeps what the window then shows.
    void show(HT_Device_Data* device, bool directly);
    void destroy(HT_Device_Data* device, bool directly);
    // Ends the recording; the trace is complete on disk.
    void finish();

    const std::vector<HT_Device_Data*>& devices() const { return devices_; }
    const std::optional<winx::Window_Snapshot>& last_shown() const { return last_shown_; }
    HT_Rendition rendition;

private:
    HT_Driver_Module module_;
    HWND window_ = nullptr;
    HDC window_dc_ = nullptr;
    bool recording_ = false;
    std::string error_;
    std::vector<HT_Device_Data*> devices_;
    std::optional<winx::Window_Snapshot> last_shown_;
};

struct Replayed_Trace {
    bool read = false;
    std::string read_error;
    std::vector<std::string> failures;  // statements that failed
    std::optional<winx::Window_Snapshot> last_shown;
};

// Plays the trace in this process (recording ended) against the module.
Replayed_Trace replay_in_process(const std::string& module_path, const std::string& trace_path,
                                 const std::string& out_directory);

// How many pixels of two pictures differ (all of them when their sizes do;
// 0 when neither exists).
size_t pixels_differing(const std::optional<winx::Window_Snapshot>& a, const std::optional<winx::Window_Snapshot>& b);

// The board's control-panel key, as the driver reads it.
extern const char* const CONTROL_PANEL_KEY;
