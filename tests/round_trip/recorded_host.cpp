// The recording host and the in-process replay.
#include "tests/round_trip/recorded_host.h"

#include <sys/mman.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>

#include "host/recording/recorder.h"
#include "tools/trace_executor.h"
#include "tools/trace_parser.h"

const char* const CONTROL_PANEL_KEY = "SYSTEM\\CurrentControlSet\\Services\\QRB64\\Device0";

Guarded_Bytes::Guarded_Bytes(size_t size) : size_(size) {
    const size_t page = size_t(sysconf(_SC_PAGESIZE));
    const size_t pages = (size + page - 1) / page;
    mapping_size_ = (pages + 1) * page;
    void* mapping = mmap(nullptr, mapping_size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED) {
        size_ = 0;
        return;
    }
    mapping_ = mapping;
    uint8_t* guard = static_cast<uint8_t*>(mapping) + pages * page;
    mprotect(guard, page, PROT_NONE);
    data_ = guard - size;
}

Guarded_Bytes::~Guarded_Bytes() {
    if (mapping_ != nullptr) munmap(mapping_, mapping_size_);
}

Recorded_Host::Recorded_Host(const std::string& module_path, const std::string& trace_path, int width,
                             int height) {
    if (!module_.load(module_path)) {
        error_ = module_.error();
        return;
    }
    window_ = winx::create_window(width, height, "recorded host");
    if (window_ == nullptr) {
        error_ = "no window";
        return;
    }
    window_dc_ = GetDC(window_);
    recording_ = HT_Record_Begin(trace_path, &error_);
}

Recorded_Host::~Recorded_Host() {
    finish();
    for (HT_Device_Data* device : devices_) HD_Destroy_Device(device);
    if (window_dc_ != nullptr) ReleaseDC(window_, window_dc_);
    if (window_ != nullptr) winx::destroy_window(window_);
}

HT_Device_Data* Recorded_Host::make_device() {
    HT_Device_Data* device = module_.create_device();
    if (device == nullptr) return nullptr;
    int width = 0, height = 0;
    winx::window_size(window_, &width, &height);
    device->current_options.set_window_size({width, height});
    devices_.push_back(device);
    return device;
}

void Recorded_Host::resize(int width, int height) {
    winx::resize_window(window_, width, height);
    winx::window_size(window_, &width, &height);
    for (HT_Device_Data* device : devices_) device->current_options.set_window_size({width, height});
}

void Recorded_Host::start(HT_Device_Data* device, bool directly) {
    device->device_options.set_context_id(reinterpret_cast<long>(window_dc_));
    int width = 0, height = 0;
    winx::window_size(window_, &width, &height);
    device->current_options.set_window_size({width, height});
    if (directly) device->start_device();
    else HD_Start_Device(device);
}

void Recorded_Host::show(HT_Device_Data* device, bool directly) {
    if (directly) device->show_frame(0);
    else HD_Show_Frame(device, 0);
    winx::Window_Snapshot shown;
    if (winx::capture_window(window_, &shown)) last_shown_ = std::move(shown);
}

void Recorded_Host::destroy(HT_Device_Data* device, bool directly) {
    devices_.erase(std::remove(devices_.begin(), devices_.end(), device), devices_.end());
    if (directly) delete device;
    else HD_Destroy_Device(device);
}

void Recorded_Host::finish() {
    if (recording_) HT_Record_End();
    recording_ = false;
}

namespace {

// The trace's text, compressed or not.
bool read_text(const std::string& path, std::string* text) {
    gzFile file = gzopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    char buffer[65536];
    int read = 0;
    while ((read = gzread(file, buffer, sizeof buffer)) > 0) text->append(buffer, size_t(read));
    const bool whole = read == 0;
    gzclose(file);
    return whole;
}

}  // namespace

Replayed_Trace replay_in_process(const std::string& module_path, const std::string& trace_path,
                                 const std::string& out_directory) {
    Replayed_Trace replayed;
    std::string text;
    if (!read_text(trace_path, &text)) {
        replayed.read_error = "cannot read " + trace_path;
        return replayed;
    }
    Trace trace;
    trace.path = trace_path;
    Read_Error error;
    if (!parse_trace(text, &trace, &error)) {
        replayed.read_error = std::to_string(error.line) + ":" + std::to_string(error.column) + ": " + error.expected;
        return replayed;
    }
    replayed.read = true;
    const size_t slash = trace_path.find_last_of('/');
    const std::string directory = slash == std::string::npos ? "." : trace_path.substr(0, slash);
    // The replay starts from the world the trace sets, not the host's.
    winx::registry_clear();
    winx::set_board_profile(winx::Board_Profile{});
    {
        Replay_State state(directory, out_directory, module_path);
        state.keep_shown_frame = true;
        for (const Statement_Outcome& outcome : run_trace(trace, state))
            if (outcome.failure) replayed.failures.push_back(std::to_string(outcome.line) + ": " + *outcome.failure);
        replayed.last_shown = state.last_shown;
    }
    return replayed;
}

size_t pixels_differing(const std::optional<winx::Window_Snapshot>& a, const std::optional<winx::Window_Snapshot>& b) {
    if (!a && !b) return 0;
    if (!a || !b) return size_t(a ? a->pixels.size() : b->pixels.size()) + 1;
    if (a->width != b->width || a->height != b->height) return std::max(a->pixels.size(), b->pixels.size()) + 1;
    size_t differing = 0;
    for (size_t i = 0; i < a->pixels.size(); ++i) differing += (a->pixels[i] & 0xFFFFFF) != (b->pixels[i] & 0xFFFFFF);
    return differing;
}
