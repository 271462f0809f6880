// A binary file starts with "glTF" and its version as a little-endian u32.
// A text file is JSON: the scan below follows strings and nesting only as
// far as needed to find the top-level "asset" object and its "version"
// member; a version written elsewhere (in an "asset"'s "profile", say) is
// not taken for it.
#include "viewer/gltf_version.h"

#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>

const char* const GLTF_1_REFUSAL = "glTF 1.0 is not supported (glTF 2.0 is)";

namespace {

class Json_Scan {
public:
    Json_Scan(const char* text, size_t size) : at_(text), end_(text + size) {}

    // The start of asset.version's value, or null.
    const char* asset_version() {
        skip_space();
        if (!take('{')) return nullptr;
        return member_value("asset", [this] {
            skip_space();
            if (!take('{')) return static_cast<const char*>(nullptr);
            return member_value("version", [this] { return skip_space(), at_; });
        });
    }

private:
    // Walks the members of the object just opened; for the one named `key`
    // returns what `inside` returns at its value, else null.
    template <class Inside>
    const char* member_value(const char* key, Inside inside) {
        for (;;) {
            skip_space();
            std::string name;
            if (!string(&name)) return nullptr;
            skip_space();
            if (!take(':')) return nullptr;
            if (name == key) return inside();
            if (!skip_value()) return nullptr;
            skip_space();
            if (!take(',')) return nullptr;
        }
    }

    bool string(std::string* text) {
        if (!take('"')) return false;
        while (at_ < end_ && *at_ != '"') {
            if (*at_ == '\\' && ++at_ == end_) return false;
            text->push_back(*at_++);
        }
        return take('"');
    }

    // Any value, nested to any depth, without recursion.
    bool skip_value() {
        size_t depth = 0;
        do {
            skip_space();
            if (at_ == end_) return false;
            if (*at_ == '"') {
                std::string ignored;
                if (!string(&ignored)) return false;
            } else if (*at_ == '{' || *at_ == '[') {
                ++depth;
                ++at_;
            } else if (*at_ == '}' || *at_ == ']') {
                if (depth == 0) return false;
                --depth;
                ++at_;
            } else if (depth == 0) {
                while (at_ < end_ && *at_ != ',' && *at_ != '}' && *at_ != ']' &&
                       !std::isspace(static_cast<unsigned char>(*at_)))
                    ++at_;  // a number or a word
            } else {
                ++at_;  // a number, a word, a colon or a comma inside a nested value
            }
        } while (depth > 0);
        return true;
    }

    void skip_space() {
        while (at_ < end_ && std::isspace(static_cast<unsigned char>(*at_))) ++at_;
    }

    bool take(char c) {
        if (at_ == end_ || *at_ != c) return false;
        ++at_;
        return true;
    }

    const char* at_;
    const char* end_;
};

}  // namespace

bool declares_gltf_1(const char* bytes, size_t size, bool binary) {
    if (binary) {
        uint32_t version = 0;
        if (size < 12 || std::memcmp(bytes, "glTF", 4) != 0) return false;
        std::memcpy(&version, bytes + 4, sizeof version);
        return version == 1;
    }
    Json_Scan scan(bytes, size);
    const char* version = scan.asset_version();
    if (version == nullptr || version >= bytes + size) return false;
    if (*version == '"' && version + 1 < bytes + size) ++version;
    return *version == '1';
}
