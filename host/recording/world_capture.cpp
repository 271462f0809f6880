// Reading the board profile and the control-panel key as the driver finds
// them.
#include "host/recording/world_capture.h"

#include <cstdint>
#include <cstring>

#include "host/recording/number_text.h"
#include "platform/windows.h"
#include "platform/winx.h"

namespace {

const char* const CONTROL_PANEL_KEY = "SYSTEM\\CurrentControlSet\\Services\\QRB64\\Device0";
const char* const DRIVER_VALUES[] = {"User3d.ZBuffer", "User3d.DoubleBuffer"};

std::string value_statement(HKEY key, const char* name) {
    uint8_t data[64] = {};
    DWORD size = sizeof data;
    std::string line = "registry ";
    append_quoted(line, name);
    const LONG result = RegQueryValueExA(key, name, nullptr, nullptr, data, &size);
    if (result == ERROR_SUCCESS && size == 4) {
        uint32_t value;
        std::memcpy(&value, data, 4);
        line += ' ';
        append_integer(line, value);
        return line;
    }
    if (result == ERROR_SUCCESS || result == ERROR_MORE_DATA)
        return "# registry value \"" + std::string(name) + "\" of " + std::to_string(size) + " bytes";
    return line + " absent";
}

}  // namespace

std::string board_statement() { return "board " + winx::board_profile_text(winx::board_profile()); }

std::vector<std::string> registry_statements() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, CONTROL_PANEL_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return {"registry none"};
    std::vector<std::string> lines;
    for (const char* name : DRIVER_VALUES) lines.push_back(value_statement(key, name));
    RegCloseKey(key);
    return lines;
}
