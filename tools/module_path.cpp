// Choosing the driver module path.
#include "tools/module_path.h"

#include <cstdlib>

std::string driver_module_path(const std::string& command_line_choice) {
    if (!command_line_choice.empty()) return command_line_choice;
    const char* from_environment = std::getenv("TOVREK_MODULE");
    if (from_environment != nullptr && *from_environment != '\0') return from_environment;
    return TOVREK_DEFAULT_MODULE;
}
