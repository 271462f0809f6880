// The registry's keys and values below HKEY_LOCAL_MACHINE, held in memory.
// Key paths and value names compare without regard to ASCII case, as on
// Win32; a key exists when it was created or when a key below it exists.
// No locking here: registry.cpp guards the one shared copy.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/windows.h"

namespace winx {

struct Registry_Value {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

class Registry_Contents {
public:
    // Creates the key (with no values) when it does not exist.
    void create_key(const std::string& key);
    void set_value(const std::string& key, const std::string& name, DWORD type, const void* data,
                   size_t size);
    void remove_value(const std::string& key, const std::string& name);
    // Removes the key with every key below it.
    void remove_key(const std::string& key);
    void clear() { keys_.clear(); }

    bool key_exists(const std::string& key) const;
    // Null when the key or the value does not exist.
    const Registry_Value* find_value(const std::string& key, const std::string& name) const;

    // The form in which paths and names are compared: upper case, and for
    // paths without separators at either end.
    static std::string key_form(const std::string& key);
    static std::string name_form(const std::string& name);

private:
    // key form -> (name form -> value)
    std::map<std::string, std::map<std::string, Registry_Value>> keys_;
};

}  // namespace winx
