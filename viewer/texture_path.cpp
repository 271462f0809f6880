// Each step stays on regular files: a folder or a device under a texture's
// name is not found.
#include "viewer/texture_path.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool regular_file(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

bool same_ignoring_case(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

// The entry of `folder` called `name` in any letter case; empty when none.
fs::path entry_ignoring_case(const fs::path& folder, const std::string& name) {
    std::error_code error;
    if (fs::exists(folder / name, error)) return folder / name;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error))
        if (same_ignoring_case(entry->path().filename().string(), name)) return entry->path();
    return {};
}

// `relative`'s parts matched one by one below `base`.
fs::path path_ignoring_case(const fs::path& base, const fs::path& relative) {
    fs::path found = base;
    for (const fs::path& part : relative) {
        if (part == "." || part == "..") {
            found /= part;
            continue;
        }
        found = entry_ignoring_case(found, part.string());
        if (found.empty()) return {};
    }
    return found;
}

}  // namespace

std::string find_texture_file(const std::string& directory, const std::string& name) {
    std::string slashed = name;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    const fs::path written = fs::path(slashed).lexically_normal();
    if (written.empty() || !written.has_filename()) return {};
    const fs::path folder = directory.empty() ? fs::path(".") : fs::path(directory);
    if (written.is_absolute() && regular_file(written)) return written.string();
    // A path from the root of another machine's drive ("\..\maps\a.png")
    // is taken from the model's folder, its ".." included.
    const fs::path relative = fs::path(slashed.substr(slashed.find_first_not_of('/'))).lexically_normal();
    const fs::path exact = (folder / relative).lexically_normal();
    if (regular_file(exact)) return exact.string();

    const fs::path matched = path_ignoring_case(folder, relative);
    if (!matched.empty() && regular_file(matched)) return matched.lexically_normal().string();
    const fs::path beside = entry_ignoring_case(folder, written.filename().string());
    if (!beside.empty() && regular_file(beside)) return beside.string();
    return {};
}
