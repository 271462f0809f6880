// The in-memory registry: keys by case-folded path, values by case-folded
// name.
#include "platform/registry_contents.h"

#include <cctype>

namespace winx {

std::string Registry_Contents::name_form(const std::string& name) {
    std::string folded = name;
    for (char& c : folded) c = char(std::toupper(static_cast<unsigned char>(c)));
    return folded;
}

std::string Registry_Contents::key_form(const std::string& key) {
    size_t first = key.find_first_not_of('\\');
    if (first == std::string::npos) return "";
    size_t last = key.find_last_not_of('\\');
    return name_form(key.substr(first, last - first + 1));
}

void Registry_Contents::create_key(const std::string& key) { keys_[key_form(key)]; }

void Registry_Contents::set_value(const std::string& key, const std::string& name, DWORD type,
                                  const void* data, size_t size) {
    Registry_Value& value = keys_[key_form(key)][name_form(name)];
    value.type = type;
    const BYTE* bytes = static_cast<const BYTE*>(data);
    value.data.assign(bytes, bytes + (bytes ? size : 0));
}

void Registry_Contents::remove_value(const std::string& key, const std::string& name) {
    auto found = keys_.find(key_form(key));
    if (found != keys_.end()) found->second.erase(name_form(name));
}

void Registry_Contents::remove_key(const std::string& key) {
    std::string path = key_form(key);
    if (path.empty()) {  // the root: everything goes
        keys_.clear();
        return;
    }
    std::string below = path + '\\';
    for (auto it = keys_.begin(); it != keys_.end();) {
        if (it->first == path || it->first.compare(0, below.size(), below) == 0) {
            it = keys_.erase(it);
        } else {
            ++it;
        }
    }
}

bool Registry_Contents::key_exists(const std::string& key) const {
    std::string path = key_form(key);
    if (path.empty()) return true;  // HKEY_LOCAL_MACHINE itself
    if (keys_.count(path)) return true;
    // Keys below this one sort together, from "PATH\\" on.
    std::string below = path + '\\';
    auto found = keys_.lower_bound(below);
    return found != keys_.end() && found->first.compare(0, below.size(), below) == 0;
}

const Registry_Value* Registry_Contents::find_value(const std::string& key,
                                                    const std::string& name) const {
    auto found_key = keys_.find(key_form(key));
    if (found_key == keys_.end()) return nullptr;
    auto found_value = found_key->second.find(name_form(name));
    return found_value == found_key->second.end() ? nullptr : &found_value->second;
}

}  // namespace winx
