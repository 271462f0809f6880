// The registry calls: RegOpenKeyExA, RegQueryValueExA and RegCloseKey over
// HKEY_LOCAL_MACHINE, and the in-process settings of winx.h. The contents
// are read from the file named by $WINX_REGISTRY (default
// ~/.config/winx/registry) on first use; a missing file is an empty
// registry, a malformed one too, with one line on standard error.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "platform/registry_file.h"
#include "platform/winx.h"

namespace {

struct Registry {
    std::mutex mutex;
    bool loaded = false;
    winx::Registry_Contents contents;
    // Open keys: handle number -> full key path.
    std::unordered_map<uintptr_t, std::string> open_keys;
    // Handle numbers start far below the predefined keys (0x80000000 up) and
    // are never reused.
    uintptr_t last_key_number = 0x10000;
};

std::string registry_file_path() {
    const char* named = std::getenv("WINX_REGISTRY");
    if (named != nullptr && *named != '\0') return named;
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') return "";
    return std::string(home) + "/.config/winx/registry";
}

// The registry, locked, and loaded from the file unless it was loaded before
// or the caller replaces the contents anyway (file_wanted false).
class Locked_Registry {
public:
    explicit Locked_Registry(bool file_wanted = true) : lock_(the_registry().mutex) {
        Registry& registry = the_registry();
        if (registry.loaded) return;
        registry.loaded = true;
        if (!file_wanted) return;
        std::string path = registry_file_path();
        std::string error;
        if (!path.empty() && winx::read_registry_file(path, &registry.contents, &error) ==
                                 winx::Registry_File_Result::failed) {
            std::fprintf(stderr, "winx registry: %s\n", error.c_str());
        }
    }
    Registry* operator->() { return &the_registry(); }

private:
    static Registry& the_registry() {
        static Registry* registry = new Registry;  // outlives threads still running at exit
        return *registry;
    }
    std::lock_guard<std::mutex> lock_;
};

// The path of an open key or of HKEY_LOCAL_MACHINE ("" for the root); false
// for any other handle.
bool key_path(Locked_Registry& registry, HKEY key, std::string* path) {
    if (key == HKEY_LOCAL_MACHINE) {
        path->clear();
        return true;
    }
    auto found = registry->open_keys.find(reinterpret_cast<uintptr_t>(key));
    if (found == registry->open_keys.end()) return false;
    *path = found->second;
    return true;
}

}  // namespace

LONG WINAPI RegOpenKeyExA(HKEY key, LPCSTR sub_key, DWORD, REGSAM, PHKEY result) {
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    Locked_Registry registry;
    std::string path;
    if (!key_path(registry, key, &path)) return ERROR_INVALID_HANDLE;
    if (sub_key != nullptr && *sub_key != '\0') path += std::string("\\") + sub_key;
    path = winx::Registry_Contents::key_form(path);
    if (!registry->contents.key_exists(path)) return ERROR_FILE_NOT_FOUND;
    registry->last_key_number += 4;
    registry->open_keys.emplace(registry->last_key_number, path);
    *result = reinterpret_cast<HKEY>(registry->last_key_number);
    return ERROR_SUCCESS;
}

LONG WINAPI RegQueryValueExA(HKEY key, LPCSTR value_name, LPDWORD reserved, LPDWORD type,
                             LPBYTE data, LPDWORD data_size) {
    if (reserved != nullptr || (data != nullptr && data_size == nullptr)) {
        return ERROR_INVALID_PARAMETER;
    }
    Locked_Registry registry;
    std::string path;
    if (!key_path(registry, key, &path)) return ERROR_INVALID_HANDLE;
    const winx::Registry_Value* value =
        registry->contents.find_value(path, value_name ? value_name : "");
    if (value == nullptr) return ERROR_FILE_NOT_FOUND;

    if (type != nullptr) *type = value->type;
    DWORD size = DWORD(value->data.size());
    if (data != nullptr && *data_size < size) {
        *data_size = size;
        return ERROR_MORE_DATA;
    }
    if (data != nullptr && size != 0) std::memcpy(data, value->data.data(), size);
    if (data_size != nullptr) *data_size = size;
    return ERROR_SUCCESS;
}

LONG WINAPI RegCloseKey(HKEY key) {
    if (key == HKEY_LOCAL_MACHINE) return ERROR_SUCCESS;
    Locked_Registry registry;
    return registry->open_keys.erase(reinterpret_cast<uintptr_t>(key)) ? ERROR_SUCCESS
                                                                         : ERROR_INVALID_HANDLE;
}

void winx::registry_set_value(const std::string& key, const std::string& name, DWORD type,
                              const void* data, size_t size) {
    Locked_Registry registry;
    registry->contents.set_value(key, name, type, data, size);
}

void winx::registry_set_dword(const std::string& key, const std::string& name, DWORD value) {
    registry_set_value(key, name, REG_DWORD, &value, sizeof value);
}

void winx::registry_remove_value(const std::string& key, const std::string& name) {
    Locked_Registry registry;
    registry->contents.remove_value(key, name);
}

void winx::registry_remove_key(const std::string& key) {
    Locked_Registry registry;
    registry->contents.remove_key(key);
}

void winx::registry_clear() {
    Locked_Registry registry(false);
    registry->contents.clear();
}

bool winx::registry_load_file(const std::string& path, std::string* error) {
    Locked_Registry registry(false);
    std::string why;
    Registry_File_Result result = read_registry_file(path, &registry->contents, &why);
    if (result == Registry_File_Result::missing) why = path + ": no such file";
    if (result != Registry_File_Result::loaded && error != nullptr) *error = why;
    return result == Registry_File_Result::loaded;
}
