// Fuzz target registry-file: any bytes as the registry file that a user
// edits by hand. The file is either loaded or refused with a reason; the
// reader never crashes, hangs or leaks.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/registry_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    winx::Registry_Contents contents;
    std::string error;
    if (!winx::parse_registry_text(text, &contents, &error) && error.empty()) std::abort();
    return 0;
}
