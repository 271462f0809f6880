// Options: definitions (name, type, count, scope), tables of options, and
// counted option values. A driver registers its own options and reads the
// values in force by name.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/counted.h"

class HT_String {
public:
    HT_String() = default;
    HT_String(const char* text) : text_(text != nullptr ? text : "") {}
    const char* c_str() const { return text_.c_str(); }
    bool operator==(const HT_String& other) const { return text_ == other.text_; }
    bool operator!=(const HT_String& other) const { return text_ != other.text_; }

private:
    std::string text_;
};

enum HT_Option_Type : int32_t {
    HT_OPTION_TYPE_INTEGER = 0,
    HT_OPTION_TYPE_BOOLEAN = 1,
    HT_OPTION_TYPE_FLOAT = 2,
};

enum HT_Option_Scope : int32_t {
    HT_OPTION_SCOPE_DEVICE = 0,
    HT_OPTION_SCOPE_SEGMENT = 1,
};

class HT_Option_Definition {
public:
    HT_Option_Definition(const HT_String& name, HT_Option_Type type, int32_t count, HT_Option_Scope scope);
    const HT_String& name() const { return name_; }
    HT_Option_Type type() const { return type_; }
    int32_t count() const { return count_; }
    HT_Option_Scope scope() const { return scope_; }

private:
    HT_String name_;
    HT_Option_Type type_;
    int32_t count_;
    HT_Option_Scope scope_;
};

class HT_Option_Definition_Table {
public:
    // Stores a copy; the returned pointer stays valid for the table's life.
    HT_Option_Definition* add(const HT_Option_Definition& definition);
    HT_Option_Definition* find(const HT_String& name) const;
    size_t size() const { return definitions_.size(); }

private:
    std::vector<std::unique_ptr<HT_Option_Definition>> definitions_;
};

// The shared record behind option value handles: `count` elements of the
// option's type.
class HT_Option_Value_Record : public HT_Counted {
public:
    HT_Option_Value_Record(HT_Option_Type type, int32_t count);
    HT_Option_Type type;
    std::vector<int32_t> integers;  // integers and booleans (0 or 0xFF)
    std::vector<float> floats;

protected:
    ~HT_Option_Value_Record() override = default;
};

// A counted handle to an option value record.
class HT_Option_Value : public HT_Shared_Handle<HT_Option_Value_Record> {
public:
    HT_Option_Value() = default;
    // A fresh record of `count` elements, all zero, held by this handle.
    HT_Option_Value(HT_Option_Type type, int32_t count);

    // Elements outside the record read as 0 and are not written.
    void set_as_boolean(int32_t index, bool value);
    bool as_boolean(int32_t index) const;
    void set_as_int(int32_t index, int32_t value);
    int32_t as_int(int32_t index) const;
    void set_as_float(int32_t index, float value);
    float as_float(int32_t index) const;
};

class HT_Option {
public:
    HT_Option(const HT_Option_Definition* definition, const HT_Option_Value& value);
    const HT_Option_Definition* definition() const { return definition_; }
    const HT_String& name() const { return definition_->name(); }
    const HT_Option_Value& value() const { return value_; }
    void set(const HT_Option_Value& value) { value_.assign(value); }

private:
    const HT_Option_Definition* definition_;
    HT_Option_Value value_;
};

class HT_Option_Table {
public:
    // Stores a copy; the returned pointer stays valid for the table's life.
    HT_Option* add(const HT_Option& option);
    // Null when the table holds no option of that name.
    HT_Option* find(const HT_String& name) const;
    size_t size() const { return options_.size(); }
    // The option added index-th, or null past the end.
    HT_Option* at(size_t index) const { return index < options_.size() ? options_[index].get() : nullptr; }

private:
    std::vector<std::unique_ptr<HT_Option>> options_;
};
