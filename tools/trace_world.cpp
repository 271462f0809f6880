// The world around the driver and the renderer object's lifecycle: screen,
// board, registry, window, options, device, use, start, show and destroy.
#include <algorithm>

#include "tools/trace_handlers.h"

namespace {

// The board control panel's key, below HKEY_LOCAL_MACHINE.
const char* const CONTROL_PANEL_KEY = "SYSTEM\\CurrentControlSet\\Services\\QRB64\\Device0";

std::string describe(const Option_Statement& option) {
    switch (option.kind) {
    case Option_Statement::Kind::boolean: return option.integer != 0 ? "on" : "off";
    case Option_Statement::Kind::integer: return std::to_string(option.integer);
    case Option_Statement::Kind::real: return std::to_string(option.real);
    }
    return {};
}

// Sets the option in the device's first table (the one lookups by name
// search), with a value of the type its definition gives.
Failure apply_option(HT_Device_Data* device, const Option_Statement& statement) {
    HT_Option* option = device->option_tables[0].find(HT_String(statement.name.c_str()));
    if (option == nullptr) return expected("an option \"" + statement.name + "\" in the device's first option table", "none");
    HT_Option_Type type = option->definition()->type();
    HT_Option_Value value(type, std::max<int32_t>(1, option->definition()->count()));
    using Kind = Option_Statement::Kind;
    switch (type) {
    case HT_OPTION_TYPE_INTEGER:
        if (statement.kind != Kind::integer)
            return expected("an integer for \"" + statement.name + "\"", describe(statement));
        value.set_as_int(0, statement.integer);
        break;
    case HT_OPTION_TYPE_BOOLEAN:
        if (statement.kind != Kind::boolean)
            return expected("on or off for \"" + statement.name + "\"", describe(statement));
        value.set_as_boolean(0, statement.integer != 0);
        break;
    case HT_OPTION_TYPE_FLOAT:
        if (statement.kind == Kind::boolean)
            return expected("a number for \"" + statement.name + "\"", describe(statement));
        value.set_as_float(0, statement.kind == Kind::real ? statement.real : float(statement.integer));
        break;
    default:
        return expected("an option type the host knows for \"" + statement.name + "\"",
                        "type " + std::to_string(int(type)));
    }
    option->set(value);
    return std::nullopt;
}

HT_Int_XY window_size(HWND window) {
    int width = 0, height = 0;
    winx::window_size(window, &width, &height);
    return {width, height};
}

}  // namespace

HT_Device_Data* need_current_device(Replay_State& state, Failure* failure) {
    HT_Device_Data* device = state.current_device();
    if (device == nullptr) *failure = expected("a current device", "none");
    return device;
}

Failure run_statement(Replay_State&, const Screen_Statement&) {
    return std::nullopt;  // the replay applies it before the first statement runs
}

Failure run_statement(Replay_State&, const Board_Statement& statement) {
    winx::set_board_profile(statement.profile);
    return std::nullopt;
}

Failure run_statement(Replay_State&, const Registry_Statement& statement) {
    switch (statement.action) {
    case Registry_Statement::Action::set_value:
        winx::registry_set_dword(CONTROL_PANEL_KEY, statement.value_name, statement.value);
        break;
    case Registry_Statement::Action::remove_value:
        winx::registry_remove_value(CONTROL_PANEL_KEY, statement.value_name);
        break;
    case Registry_Statement::Action::remove_key:
        winx::registry_remove_key(CONTROL_PANEL_KEY);
        break;
    }
    return std::nullopt;
}

Failure run_statement(Replay_State& state, const Window_Statement& statement) {
    if (state.window == nullptr) {
        state.window = winx::create_window(statement.width, statement.height, "tovrek replay");
        if (state.window == nullptr) return expected("a window", "none (no display)");
    } else if (!winx::resize_window(state.window, statement.width, statement.height)) {
        return expected("the window resized to " + std::to_string(statement.width) + "x" +
                            std::to_string(statement.height),
                        "a refusal");
    }
    HT_Int_XY size = window_size(state.window);
    for (HT_Device_Data* device : state.live_devices()) device->current_options.set_window_size(size);
    return std::nullopt;
}

Failure run_statement(Replay_State& state, const Option_Statement& statement) {
    if (HT_Device_Data* device = state.current_device()) return apply_option(device, statement);
    state.options_for_new_devices.push_back(statement);
    return std::nullopt;
}

Failure run_statement(Replay_State& state, const Device_Statement& statement) {
    if (state.find_device(statement.name) != nullptr)
        return expected("a name that no live device has", "\"" + statement.name + "\" in use");
    std::string error;
    if (!state.load_module(&error)) return expected("the driver module to load", error);
    HT_Device_Data* device = state.create_device();
    if (statement.expect_null) {
        if (device == nullptr) return std::nullopt;
        HD_Destroy_Device(device);
        return expected("HD_Device to return null", "a device");
    }
    if (device == nullptr) return expected("a device from HD_Device", "null");
    state.add_device(statement.name, device);
    state.current = statement.name;
    if (state.window != nullptr) device->current_options.set_window_size(window_size(state.window));
    for (const Option_Statement& option : state.options_for_new_devices)
        if (Failure failure = apply_option(device, option)) return failure;
    return std::nullopt;
}

Failure run_statement(Replay_State& state, const Use_Statement& statement) {
    if (state.find_device(statement.name) == nullptr)
        return expected("a live device named \"" + statement.name + "\"", "none");
    state.current = statement.name;
    return std::nullopt;
}

Failure run_statement(Replay_State& state, const Start_Statement&) {
    Failure failure;
    HT_Device_Data* device = need_current_device(state, &failure);
    if (device == nullptr) return failure;
    if (state.window == nullptr) return expected("a window to start on", "none");
    if (state.window_dc == nullptr) state.window_dc = GetDC(state.window);
    device->device_options.set_context_id(reinterpret_cast<long>(state.window_dc));
    device->current_options.set_window_size(window_size(state.window));
    HD_Start_Device(device);
    return std::nullopt;
}

Failure run_statement(Replay_State& state, const Show_Statement&) {
    Failure failure;
    HT_Device_Data* device = need_current_device(state, &failure);
    if (device == nullptr) return failure;
    HD_Show_Frame(device, 0);
    if (state.keep_shown_frame) {
        winx::Window_Snapshot shown;
        if (state.window == nullptr || !winx::capture_window(state.window, &shown))
            return expected("a capture of the window after show", "none");
        state.last_shown = std::move(shown);
    }
    return std::nullopt;
}

Failure run_statement(Replay_State& state, const Destroy_Statement& statement) {
    std::string name = statement.name.value_or(state.current);
    if (name.empty() || state.find_device(name) == nullptr)
        return expected(name.empty() ? std::string("a current device") : "a live device named \"" + name + "\"", "none");
    state.destroy_device(name);
    return std::nullopt;
}
