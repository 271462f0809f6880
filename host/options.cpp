// Option definitions, counted option values, options and option tables. The
// tables own copies of what is added to them; values are shared by handle.
#include "host/options.h"

#include <algorithm>

HT_Option_Definition::HT_Option_Definition(const HT_String& name, HT_Option_Type type,
                                           int32_t count, HT_Option_Scope scope)
    : name_(name), type_(type), count_(std::max(count, 0)), scope_(scope) {}

HT_Option_Definition* HT_Option_Definition_Table::add(const HT_Option_Definition& definition) {
    definitions_.push_back(std::make_unique<HT_Option_Definition>(definition));
    return definitions_.back().get();
}

HT_Option_Definition* HT_Option_Definition_Table::find(const HT_String& name) const {
    for (const auto& definition : definitions_)
        if (definition->name() == name) return definition.get();
    return nullptr;
}

// Integers and booleans live in `integers`, floats in `floats`; the other
// vector stays empty, so reading a value as the wrong kind yields 0.
HT_Option_Value_Record::HT_Option_Value_Record(HT_Option_Type type, int32_t count) : type(type) {
    size_t elements = size_t(std::max(count, 0));
    if (type == HT_OPTION_TYPE_FLOAT)
        floats.assign(elements, 0.0f);
    else
        integers.assign(elements, 0);
}

HT_Option_Value::HT_Option_Value(HT_Option_Type type, int32_t count)
    : HT_Shared_Handle<HT_Option_Value_Record>(new HT_Option_Value_Record(type, count)) {}

namespace {

// The element at `index`, or null when the handle is null or the index lies
// outside the record.
template <class T>
T* element(std::vector<T>* values, int32_t index) {
    if (values == nullptr || index < 0 || size_t(index) >= values->size()) return nullptr;
    return &(*values)[size_t(index)];
}

}  // namespace

void HT_Option_Value::set_as_boolean(int32_t index, bool value) {
    // True is stored as the byte 0xFF, the way the host keeps its booleans.
    set_as_int(index, value ? 0xFF : 0);
}

bool HT_Option_Value::as_boolean(int32_t index) const { return as_int(index) != 0; }

void HT_Option_Value::set_as_int(int32_t index, int32_t value) {
    if (int32_t* slot = element(is_null() ? nullptr : &get()->integers, index)) *slot = value;
}

int32_t HT_Option_Value::as_int(int32_t index) const {
    const int32_t* slot = element(is_null() ? nullptr : &get()->integers, index);
    return slot != nullptr ? *slot : 0;
}

void HT_Option_Value::set_as_float(int32_t index, float value) {
    if (float* slot = element(is_null() ? nullptr : &get()->floats, index)) *slot = value;
}

float HT_Option_Value::as_float(int32_t index) const {
    const float* slot = element(is_null() ? nullptr : &get()->floats, index);
    return slot != nullptr ? *slot : 0.0f;
}

HT_Option::HT_Option(const HT_Option_Definition* definition, const HT_Option_Value& value)
    : definition_(definition), value_(value) {}

HT_Option* HT_Option_Table::add(const HT_Option& option) {
    options_.push_back(std::make_unique<HT_Option>(option));
    return options_.back().get();
}

HT_Option* HT_Option_Table::find(const HT_String& name) const {
    for (const auto& option : options_)
        if (option->definition() != nullptr && option->name() == name) return option.get();
    return nullptr;
}
