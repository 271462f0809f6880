// Choosing the driver module path.
#include "tools/module_path.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

// The folder this program was started from, from the kernel's record of it;
// empty when that cannot be read.
std::filesystem::path own_folder() {
    std::error_code failure;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", failure);
    return failure ? std::filesystem::path() : self.parent_path();
}

}  // namespace

std::string driver_module_path(const std::string& command_line_choice) {
    if (!command_line_choice.empty()) return command_line_choice;
    const char* from_environment = std::getenv("TOVREK_MODULE");
    if (from_environment != nullptr && *from_environment != '\0') return from_environment;
    std::filesystem::path folder = own_folder();
    if (!folder.empty()) {
        std::filesystem::path installed = (folder / TOVREK_INSTALLED_MODULE).lexically_normal();
        std::error_code failure;
        if (std::filesystem::is_regular_file(installed, failure)) return installed.string();
    }
    return TOVREK_BUILT_MODULE;
}
