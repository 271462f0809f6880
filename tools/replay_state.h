// What a replay keeps between statements: the driver module, the host's
// window, the live devices by name, the sticky rendition, the options for
// devices still to come, the last reads and snapshot, and the message boxes
// recorded since the replay began. The statements themselves are run by the
// handlers of trace_handlers.h.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/device.h"
#include "host/loader.h"
#include "platform/winx.h"
#include "tools/trace_statements.h"

// Why a statement failed ("expected …, got …"), or nothing when it held.
using Failure = std::optional<std::string>;

inline Failure expected(const std::string& what, const std::string& got) {
    return "expected " + what + ", got " + got;
}

class Replay_State {
public:
    Replay_State(std::string trace_directory, std::string out_directory, std::string module_path);
    // Destroys every live device, then the window.
    ~Replay_State();
    Replay_State(const Replay_State&) = delete;
    Replay_State& operator=(const Replay_State&) = delete;

    // Devices by name; null when no live device has the name.
    HT_Device_Data* find_device(const std::string& name) const;
    HT_Device_Data* current_device() const { return find_device(current); }
    void add_device(const std::string& name, HT_Device_Data* device);
    std::vector<HT_Device_Data*> live_devices() const;
    // Destroys the device as the host does and forgets it.
    void destroy_device(const std::string& name);
    // The path under the output folder (created when missing); empty, with a
    // reason, when the folder cannot be made.
    std::string output_path(const std::string& file, std::string* error) const;
    // The folder that files named in the trace are read from.
    const std::string& trace_directory() const { return trace_directory_; }
    // Loads the driver module on first use.
    bool load_module(std::string* error);
    HT_Device_Data* create_device() const { return module_.create_device(); }

    HWND window = nullptr;
    HDC window_dc = nullptr;
    std::string current;  // the current device's name; empty when none
    std::vector<Option_Statement> options_for_new_devices;
    HT_Rendition rendition;
    HT_Shared_Image last_color;
    HT_Shared_Image last_depth;
    bool depth_read_last = false;
    std::optional<winx::Window_Snapshot> snapshot;
    // With --final: what the window showed after the latest show.
    bool keep_shown_frame = false;
    std::optional<winx::Window_Snapshot> last_shown;
    winx::Message_Recorder messages;
    size_t matched_messages = 0;
    // What the pictures of the running statement's failure are called under
    // the output folder, without ".png": the trace's name and the line.
    std::string failure_picture_name;

private:
    std::string trace_directory_;
    std::string out_directory_;
    std::string module_path_;
    HT_Driver_Module module_;
    std::vector<std::pair<std::string, HT_Device_Data*>> devices_;  // in creation order
};

// Calls a draw action through the device's table; a missing entry is the
// statement's failure.
template <class Function, class... Arguments>
Failure call_action(const HT_Action<Function>& action, const char* name, Arguments... arguments) {
    if (action.function == nullptr) return expected(std::string("a ") + name + " action in the device's table", "none");
    action.function(action.object, arguments...);
    return std::nullopt;
}
