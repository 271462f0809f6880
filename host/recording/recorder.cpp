// Opening and ending recordings, taking in new devices, and the statements
// of the virtual operations (start, show, deletion).
#include "host/recording/recorder.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "host/recording/number_text.h"
#include "host/recording/recorder_state.h"
#include "host/recording/virtual_hooks.h"

namespace {

std::string option_value(const HT_Option& option) {
    const HT_Option_Value& value = option.value();
    if (value.is_null()) return "";
    std::string text;
    switch (option.definition()->type()) {
    case HT_OPTION_TYPE_INTEGER: append_integer(text, value.as_int(0)); break;
    case HT_OPTION_TYPE_BOOLEAN: text = value.as_boolean(0) ? "on" : "off"; break;
    case HT_OPTION_TYPE_FLOAT: append_float(text, value.as_float(0)); break;
    default: break;
    }
    return text;
}

// An option line for each value that changed since the last start, and the
// window when it did.
void write_start(Recording_Session& session, Recorded_Device& record, HT_Device_Data* device) {
    session.use(record);
    const HT_Option_Table& table = device->option_tables[0];
    for (size_t i = 0; i < table.size(); ++i) {
        const HT_Option* option = table.at(i);
        if (option == nullptr || option->definition() == nullptr) continue;
        const std::string name = option->definition()->name().c_str();
        const std::string value = option_value(*option);
        if (value.empty() || record.options[name] == value) continue;
        record.options[name] = value;
        std::string line = "option ";
        append_quoted(line, name);
        session.write(line + " " + value);
    }
    const HT_Int_XY size = device->current_options.window_size();
    if (size.x != record.window.x || size.y != record.window.y) {
        session.write("window " + std::to_string(size.x) + " " + std::to_string(size.y));
        record.window = size;
    }
    session.write("start");
}

// What the driver takes at start: the window (a negative side as 0) and
// "Fast Readback".
void note_start(Recorded_Device& record, HT_Device_Data* device) {
    const HT_Int_XY size = device->current_options.window_size();
    record.viewport = {std::max(size.x, 0), std::max(size.y, 0)};
    const HT_Option* fast = device->option_tables[0].find(HT_String("Fast Readback"));
    record.fast_readback = fast != nullptr && !fast->value().is_null() && fast->value().as_boolean(0);
}

void before_start(HT_Device_Data* device) {
    Recorder_State& state = recorder_state();
    std::lock_guard<std::mutex> lock(state.mutex);
    Recorded_Device* record = state.find(device);
    if (record == nullptr) return;
    note_start(*record, device);
    if (Recording_Session* session = state.recording(*record)) write_start(*session, *record, device);
}

void before_show(HT_Device_Data* device, int) {
    Recorder_State& state = recorder_state();
    std::lock_guard<std::mutex> lock(state.mutex);
    Recorded_Device* record = state.find(device);
    if (record == nullptr) return;
    if (Recording_Session* session = state.recording(*record)) {
        session->use(*record);
        session->write("show");
        session->flush();
    }
}

// The device stays known while the driver's destruction runs, so that calls
// its render thread still makes through the table reach the device.
void* before_delete(HT_Device_Data* device) {
    Recorder_State& state = recorder_state();
    std::lock_guard<std::mutex> lock(state.mutex);
    Recorded_Device* record = state.find(device);
    if (record == nullptr) return nullptr;
    if (Recording_Session* session = state.recording(*record)) session->destroyed(*record);
    record->session = 0;
    return record;
}

// Forgets the device, unless a new one has been made at its address since.
void after_delete(HT_Device_Data* device, void* token) {
    Recorder_State& state = recorder_state();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (token != nullptr && state.find(device) == token) state.devices.erase(device);
}

void end_at_exit() { HT_Record_End(); }

// Opens a recording under the lock.
bool begin(Recorder_State& state, const std::string& path, std::string* error) {
    state.session.reset();
    auto session = std::make_unique<Recording_Session>(path, ++state.sessions);
    if (!session->opened()) {
        *error = session->error();
        return false;
    }
    state.session = std::move(session);
    static std::once_flag ending_registered;
    std::call_once(ending_registered, [] { std::atexit(end_at_exit); });
    return true;
}

// $TOVREK_RECORD, looked at once, before the first device.
void begin_from_environment(Recorder_State& state) {
    static bool looked = false;
    if (looked) return;
    looked = true;
    const char* path = std::getenv("TOVREK_RECORD");
    if (path == nullptr || *path == '\0' || state.session != nullptr) return;
    std::string error;
    if (!begin(state, path, &error)) std::fprintf(stderr, "libvudoz: %s\n", error.c_str());
}

}  // namespace

Recorder_State& recorder_state() {
    static Recorder_State* state = new Recorder_State;
    return *state;
}

void HT_Record_New_Device(HT_Device_Data* device) {
    Recorder_State& state = recorder_state();
    std::lock_guard<std::mutex> lock(state.mutex);
    begin_from_environment(state);
    if (state.session == nullptr) return;
    if (device == nullptr) return state.session->no_device();
    auto record = std::make_unique<Recorded_Device>();
    record->original = device->actions;
    state.session->new_device(*record);
    wrap_actions(device);
    install_virtual_hooks(device, Virtual_Hooks{&before_start, &before_show, &before_delete, &after_delete});
    state.devices[device] = std::move(record);
}

bool HT_Record_Begin(const std::string& path, std::string* error) {
    Recorder_State& state = recorder_state();
    std::lock_guard<std::mutex> lock(state.mutex);
    return begin(state, path, error);
}

void HT_Record_End() {
    Recorder_State& state = recorder_state();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.session.reset();
}
