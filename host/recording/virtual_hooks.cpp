// The virtual table as the Itanium C++ ABI lays it out: the object's first
// word points at the function entries, which follow the offset to the top
// and the type information; the entry of a virtual member function is the
// one its member-function pointer names (the pointer is 1 + the entry's byte
// offset). A virtual destructor takes two entries, the complete-object
// destructor and then the deleting one, in the place of the destructor's
// declaration: the deleting one comes just before query_reserved.
#include "host/recording/virtual_hooks.h"

#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "host/recording/host_memory.h"

namespace {

using Entry = void*;

// The entries a driver class may add after the host's own are copied as far
// as they can be read, up to this many.
constexpr size_t MORE_ENTRIES = 64;
// Offset to top and type information.
constexpr size_t HEADER_ENTRIES = 2;

template <class Member>
size_t entry_of(Member member) {
    static_assert(sizeof member == 2 * sizeof(uintptr_t), "an Itanium member-function pointer");
    uintptr_t words[2];
    std::memcpy(words, &member, sizeof words);
    return (words[0] - 1) / sizeof(Entry);
}

struct Shadow_Table {
    std::vector<Entry> entries;  // header first
    const Entry* original = nullptr;  // the driver's function entries
};

std::mutex shadow_mutex;
Virtual_Hooks installed_hooks;
// By the driver's table, and by the copy's function entries.
std::map<const Entry*, std::unique_ptr<Shadow_Table>> shadow_of_original;
std::map<const Entry*, const Shadow_Table*> shadow_by_copy;

const Entry*& table_of(HT_Renderer_Data* object) { return *reinterpret_cast<const Entry**>(object); }

// The driver's entries behind the object's copied table, and the hooks.
struct Behind {
    const Entry* original;
    Virtual_Hooks hooks;
};

Behind behind(HT_Renderer_Data* object) {
    std::lock_guard<std::mutex> lock(shadow_mutex);
    return {shadow_by_copy.at(table_of(object))->original, installed_hooks};
}

template <class Function>
Function entry_function(const Behind& found, size_t entry) {
    return reinterpret_cast<Function>(found.original[entry]);
}

size_t start_entry() { return entry_of(&HT_Renderer_Data::start_device); }
size_t show_entry() { return entry_of(&HT_Renderer_Data::show_frame); }
size_t deleting_entry() { return entry_of(&HT_Renderer_Data::query_reserved) - 1; }
size_t host_entries() { return entry_of(&HT_Renderer_Data::reserved_slot_14) + 1; }

int hooked_start(HT_Renderer_Data* object) {
    const Behind found = behind(object);
    found.hooks.before_start(static_cast<HT_Device_Data*>(object));
    return entry_function<int (*)(HT_Renderer_Data*)>(found, start_entry())(object);
}

void hooked_show(HT_Renderer_Data* object, int flags) {
    const Behind found = behind(object);
    found.hooks.before_show(static_cast<HT_Device_Data*>(object), flags);
    entry_function<void (*)(HT_Renderer_Data*, int)>(found, show_entry())(object, flags);
}

void hooked_delete(HT_Renderer_Data* object) {
    const Behind found = behind(object);
    HT_Device_Data* device = static_cast<HT_Device_Data*>(object);
    void* token = found.hooks.before_delete(device);
    entry_function<void (*)(HT_Renderer_Data*)>(found, deleting_entry())(object);
    found.hooks.after_delete(device, token);
}

const Shadow_Table& shadow_for(const Entry* original) {
    auto known = shadow_of_original.find(original);
    if (known != shadow_of_original.end()) return *known->second;
    auto shadow = std::make_unique<Shadow_Table>();
    shadow->original = original;
    shadow->entries.assign(original - HEADER_ENTRIES, original + host_entries());
    for (size_t more = 0; more < MORE_ENTRIES; ++more) {
        Entry entry;
        if (!copy_host_memory_safely(&entry, original + host_entries() + more, sizeof entry)) break;
        shadow->entries.push_back(entry);
    }
    Entry* functions = shadow->entries.data() + HEADER_ENTRIES;
    functions[start_entry()] = reinterpret_cast<Entry>(&hooked_start);
    functions[show_entry()] = reinterpret_cast<Entry>(&hooked_show);
    functions[deleting_entry()] = reinterpret_cast<Entry>(&hooked_delete);
    shadow_by_copy[functions] = shadow.get();
    return *(shadow_of_original[original] = std::move(shadow));
}

}  // namespace

void install_virtual_hooks(HT_Device_Data* device, const Virtual_Hooks& hooks) {
    std::lock_guard<std::mutex> lock(shadow_mutex);
    installed_hooks = hooks;
    const Entry* original = table_of(device);
    if (shadow_by_copy.count(original) != 0) return;  // already hooked
    table_of(device) = shadow_for(original).entries.data() + HEADER_ENTRIES;
}
