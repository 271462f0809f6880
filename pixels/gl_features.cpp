// Reading the context's version and extension strings.
#include "pixels/gl_features.h"

#include <cstdio>
#include <cstring>

#include "platform/gl.h"

bool gl_version_at_least(int major, int minor) {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    int found_major = 0;
    int found_minor = 0;
    if (version == nullptr || std::sscanf(version, "%d.%d", &found_major, &found_minor) != 2) return false;
    return found_major > major || (found_major == major && found_minor >= minor);
}

bool gl_has_extension(const char* name) {
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    const size_t length = std::strlen(name);
    if (extensions == nullptr || length == 0) return false;
    for (const char* at = std::strstr(extensions, name); at != nullptr; at = std::strstr(at + 1, name)) {
        const bool starts = at == extensions || at[-1] == ' ';
        const bool ends = at[length] == '\0' || at[length] == ' ';
        if (starts && ends) return true;
    }
    return false;
}

bool gl_takes_host_order() { return gl_version_at_least(1, 2) || gl_has_extension("GL_EXT_bgra"); }
