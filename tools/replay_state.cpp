// The replay's lasting state: devices, paths and the module.
#include "tools/replay_state.h"

#include <algorithm>
#include <filesystem>

Replay_State::Replay_State(std::string trace_directory, std::string out_directory, std::string module_path)
    : trace_directory_(std::move(trace_directory)),
      out_directory_(std::move(out_directory)),
      module_path_(std::move(module_path)) {}

Replay_State::~Replay_State() {
    last_color.reset();
    last_depth.reset();
    rendition.color.texture.texture.reset();
    // Last made first; by position, since two live devices may share a name.
    while (!devices_.empty()) {
        HT_Device_Data* device = devices_.back().second;
        devices_.pop_back();
        HD_Destroy_Device(device);
    }
    if (window_dc != nullptr) ReleaseDC(window, window_dc);
    if (window != nullptr) winx::destroy_window(window);
}

HT_Device_Data* Replay_State::find_device(const std::string& name) const {
    for (const auto& entry : devices_)
        if (entry.first == name) return entry.second;
    return nullptr;
}

void Replay_State::add_device(const std::string& name, HT_Device_Data* device) {
    devices_.emplace_back(name, device);
}

void Replay_State::destroy_device(const std::string& device_name) {
    // A copy: the name may be the one kept in the list that the erase frees.
    const std::string name = device_name;
    auto found = std::find_if(devices_.begin(), devices_.end(),
                              [&name](const auto& entry) { return entry.first == name; });
    if (found == devices_.end()) return;
    HT_Device_Data* device = found->second;
    devices_.erase(found);
    if (current == name) current.clear();
    HD_Destroy_Device(device);
}

std::string Replay_State::output_path(const std::string& file, std::string* error) const {
    std::filesystem::path path = std::filesystem::path(out_directory_) / file;
    std::error_code failure;
    if (!path.parent_path().empty()) std::filesystem::create_directories(path.parent_path(), failure);
    if (failure) {
        *error = path.parent_path().string() + ": " + failure.message();
        return {};
    }
    return path.string();
}

std::vector<HT_Device_Data*> Replay_State::live_devices() const {
    std::vector<HT_Device_Data*> devices;
    for (const auto& entry : devices_) devices.push_back(entry.second);
    return devices;
}

bool Replay_State::load_module(std::string* error) {
    if (module_.loaded()) return true;
    if (module_.load(module_path_)) return true;
    *error = module_.error();
    return false;
}
