// The registry file: a text file in the manner of a .reg export, one entry a
// line. Keys lie below HKEY_LOCAL_MACHINE.
//
//   ; a comment: a line whose first non-blank character is ';'
//   [SYSTEM\CurrentControlSet\Services\QRB64\Device0]
//   "User3d.ZBuffer"=dword:00000001       REG_DWORD, 1 to 8 hex digits
//   "Pattern"=hex:0a,00,00,00,ff          REG_BINARY, two hex digits a byte
//   "Typed"=hex(4):01,00                  the bytes with the registry type in
//                                         hex (here REG_DWORD of two bytes)
//   "Label"="some text"                   REG_SZ; \" and \\ are escapes; the
//                                         data ends with a zero byte
//   @=dword:00000002                      the key's unnamed (default) value
//
// A key line may start with "HKEY_LOCAL_MACHINE\". A key line with no values
// creates an empty key. Blank lines are ignored, and so are spaces around a
// line. Value names follow the same escapes as text. Anything else, or a
// value before the first key, is an error: the whole file is then refused.
#include "platform/registry_file.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>

namespace winx {
namespace {

std::string trimmed(const std::string& line) {
    size_t first = line.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    size_t last = line.find_last_not_of(" \t\r\n");
    return line.substr(first, last - first + 1);
}

bool starts_with_folded(const std::string& text, const char* prefix) {
    size_t length = std::strlen(prefix);
    if (text.size() < length) return false;
    for (size_t i = 0; i < length; ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    }
    return true;
}

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = char(std::tolower(static_cast<unsigned char>(c)));
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// A hex number of 1 to 8 digits that makes up the whole of the text.
bool parse_hex_number(const std::string& text, DWORD* number) {
    if (text.empty() || text.size() > 8) return false;
    DWORD value = 0;
    for (char c : text) {
        int digit = hex_digit(c);
        if (digit < 0) return false;
        value = value << 4 | DWORD(digit);
    }
    *number = value;
    return true;
}

// A quoted string starting at text[*at]; *at ends after the closing quote.
bool parse_quoted(const std::string& text, size_t* at, std::string* out, std::string* why) {
    if (*at >= text.size() || text[*at] != '"') {
        *why = "expected '\"'";
        return false;
    }
    out->clear();
    for (size_t i = *at + 1; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"') {
            *at = i + 1;
            return true;
        }
        if (c == '\\') {
            if (i + 1 >= text.size() || (text[i + 1] != '"' && text[i + 1] != '\\')) {
                *why = "unknown escape in quoted text";
                return false;
            }
            c = text[++i];
        }
        out->push_back(c);
    }
    *why = "unterminated quoted text";
    return false;
}

// Comma-separated bytes of two hex digits each; empty text is no bytes.
bool parse_bytes(const std::string& text, std::vector<BYTE>* bytes, std::string* why) {
    bytes->clear();
    if (text.empty()) return true;
    std::stringstream items(text);
    std::string item;
    while (std::getline(items, item, ',')) {
        item = trimmed(item);
        int high = item.size() == 2 ? hex_digit(item[0]) : -1;
        int low = item.size() == 2 ? hex_digit(item[1]) : -1;
        if (high < 0 || low < 0) {
            *why = "bad byte \"" + item + "\" in hex data";
            return false;
        }
        bytes->push_back(BYTE(high << 4 | low));
    }
    if (text.back() == ',') {
        *why = "hex data ends with ','";
        return false;
    }
    return true;
}

// The part after '=': a quoted text, dword:, hex: or hex(TYPE):.
bool parse_data(const std::string& text, Registry_Value* value, std::string* why) {
    if (!text.empty() && text[0] == '"') {
        size_t at = 0;
        std::string string;
        if (!parse_quoted(text, &at, &string, why)) return false;
        if (at != text.size()) {
            *why = "text after the closing quote";
            return false;
        }
        value->type = REG_SZ;
        value->data.assign(string.begin(), string.end());
        value->data.push_back(0);
        return true;
    }
    if (starts_with_folded(text, "dword:")) {
        DWORD number;
        if (!parse_hex_number(text.substr(6), &number)) {
            *why = "dword: needs 1 to 8 hex digits";
            return false;
        }
        value->type = REG_DWORD;
        value->data.resize(4);
        std::memcpy(value->data.data(), &number, 4);
        return true;
    }
    if (starts_with_folded(text, "hex:")) {
        value->type = REG_BINARY;
        return parse_bytes(text.substr(4), &value->data, why);
    }
    if (starts_with_folded(text, "hex(")) {
        size_t close = text.find("):");
        if (close == std::string::npos ||
            !parse_hex_number(text.substr(4, close - 4), &value->type)) {
            *why = "hex(TYPE): needs a hex type";
            return false;
        }
        return parse_bytes(text.substr(close + 2), &value->data, why);
    }
    *why = "unknown value data (expected \"text\", dword:, hex: or hex(TYPE):)";
    return false;
}

// One value line: "Name"=DATA or @=DATA.
bool parse_value_line(const std::string& line, std::string* name, Registry_Value* value,
                      std::string* why) {
    size_t at = 0;
    if (line[0] != '@' && line[0] != '"') {
        *why = "not a [KEY] line, a \"NAME\"=DATA line or a ; comment";
        return false;
    }
    if (line[0] == '@') {
        name->clear();
        at = 1;
    } else if (!parse_quoted(line, &at, name, why)) {
        return false;
    }
    if (at >= line.size() || line[at] != '=') {
        *why = "expected '=' after the value name";
        return false;
    }
    return parse_data(line.substr(at + 1), value, why);
}

}  // namespace

bool parse_registry_text(const std::string& text, Registry_Contents* contents, std::string* error) {
    contents->clear();
    std::stringstream lines(text);
    std::string line;
    std::string key;
    bool have_key = false;
    for (int number = 1; std::getline(lines, line); ++number) {
        line = trimmed(line);
        if (line.empty() || line[0] == ';') continue;
        std::string why;
        if (line[0] == '[') {
            if (line.back() != ']' || line.size() < 3) {
                why = "a key line is [PATH]";
            } else {
                key = line.substr(1, line.size() - 2);
                if (starts_with_folded(key, "hkey_local_machine\\")) key.erase(0, 19);
                if (Registry_Contents::key_form(key).empty()) {
                    why = "empty key path";
                } else {
                    contents->create_key(key);
                    have_key = true;
                }
            }
        } else {
            std::string name;
            Registry_Value value;
            if (parse_value_line(line, &name, &value, &why)) {
                if (have_key) {
                    contents->set_value(key, name, value.type, value.data.data(),
                                        value.data.size());
                } else {
                    why = "a value before the first [KEY] line";
                }
            }
        }
        if (!why.empty()) {
            contents->clear();
            *error = std::to_string(number) + ": " + why;
            return false;
        }
    }
    return true;
}

Registry_File_Result read_registry_file(const std::string& path, Registry_Contents* contents,
                                        std::string* error) {
    contents->clear();
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        if (errno == ENOENT) return Registry_File_Result::missing;
        *error = path + ": cannot open: " + std::strerror(errno);
        return Registry_File_Result::failed;
    }
    std::string text;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
    int read_error = std::ferror(file) ? errno : 0;
    std::fclose(file);
    if (read_error != 0) {
        *error = path + ": cannot read: " + std::strerror(read_error);
        return Registry_File_Result::failed;
    }
    std::string why;
    if (!parse_registry_text(text, contents, &why)) {
        *error = path + ":" + why;
        return Registry_File_Result::failed;
    }
    return Registry_File_Result::loaded;
}

}  // namespace winx
