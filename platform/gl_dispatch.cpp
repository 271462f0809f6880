// The OpenGL dispatch table: the system table, filled once from libGL, and
// the stack of layers above it. The table the gl* names call is one composed
// table published through an atomic pointer, so a call costs one load and an
// indirect call, with no lock: entries that no layer replaces are libGL's own.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <dlfcn.h>

#include "platform/gl_board_guard.h"
#include "platform/gl_layers.h"

namespace winx {
namespace {

Gl_Dispatch system_table;
std::atomic<const Gl_Dispatch*> top_table{nullptr};

std::mutex stack_mutex;
std::vector<Gl_Layer*> stack;  // bottom first
// Every composed table, kept because another thread may be calling through
// an older one; a change of layers costs one table.
std::vector<std::unique_ptr<Gl_Dispatch>> composed_tables;

using Proc_Address = void* (*)(const unsigned char*);

void* resolve(void* library, Proc_Address get_proc_address, const char* name) {
    void* entry = dlsym(library, name);
    if (entry == nullptr && get_proc_address != nullptr)
        entry = get_proc_address(reinterpret_cast<const unsigned char*>(name));
    if (entry == nullptr) {
        std::fprintf(stderr, "winx: libGL.so.1 has no %s\n", name);
        std::abort();
    }
    return entry;
}

// An optional entry point under its own name or its extension's; null when
// libGL has neither.
void* resolve_optional(void* library, Proc_Address get_proc_address, const char* name) {
    const std::string extension_name = std::string(name) + "EXT";
    for (const char* candidate : {name, extension_name.c_str()}) {
        void* entry = dlsym(library, candidate);
        if (entry == nullptr && get_proc_address != nullptr)
            entry = get_proc_address(reinterpret_cast<const unsigned char*>(candidate));
        if (entry != nullptr) return entry;
    }
    return nullptr;
}

void load_system_table() {
    void* library = dlopen("libGL.so.1", RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        std::fprintf(stderr, "winx: cannot load libGL.so.1: %s\n", dlerror());
        std::abort();
    }
    auto get_proc_address = reinterpret_cast<Proc_Address>(dlsym(library, "glXGetProcAddressARB"));
#define WINX_GL_LOAD(ret, name, params, args) \
    system_table.name = reinterpret_cast<ret(*) params>(resolve(library, get_proc_address, "gl" #name));
    WINX_GL_FUNCTIONS(WINX_GL_LOAD)
#undef WINX_GL_LOAD
#define WINX_GL_LOAD_OPTIONAL(ret, name, params, args) \
    system_table.name =                                \
        reinterpret_cast<ret(*) params>(resolve_optional(library, get_proc_address, "gl" #name));
    WINX_GL_OPTIONAL_FUNCTIONS(WINX_GL_LOAD_OPTIONAL)
#undef WINX_GL_LOAD_OPTIONAL
}

// Composes the tables from the system table up and publishes the top one.
// Each layer's below() is set before the new top is visible.
void compose_locked() {
    const Gl_Dispatch* current = &system_table;
    for (Gl_Layer* layer : stack) {
        layer->below_table.store(current, std::memory_order_release);
        auto table = std::make_unique<Gl_Dispatch>(*current);
#define WINX_GL_OVERRIDE(ret, name, params, args) \
    if (layer->entries.name != nullptr) table->name = layer->entries.name;
        WINX_GL_FUNCTIONS(WINX_GL_OVERRIDE)
#undef WINX_GL_OVERRIDE
        // A layer cannot add an entry point that libGL lacks: its own entry
        // would have nothing below to call.
#define WINX_GL_OVERRIDE_OPTIONAL(ret, name, params, args) \
    if (layer->entries.name != nullptr && current->name != nullptr) table->name = layer->entries.name;
        WINX_GL_OPTIONAL_FUNCTIONS(WINX_GL_OVERRIDE_OPTIONAL)
#undef WINX_GL_OVERRIDE_OPTIONAL
        current = table.get();
        composed_tables.push_back(std::move(table));
    }
    top_table.store(current, std::memory_order_release);
}

void place_locked(Gl_Layer* layer, Gl_Layer_Place place) {
    stack.erase(std::remove(stack.begin(), stack.end(), layer), stack.end());
    if (place == Gl_Layer_Place::top) stack.push_back(layer);
    else stack.insert(stack.begin(), layer);
}

// Loads libGL and puts the guard in place, once.
void initialise() {
    static std::once_flag once;
    std::call_once(once, [] {
        load_system_table();
        std::lock_guard<std::mutex> lock(stack_mutex);
        place_locked(&board_request_guard(), Gl_Layer_Place::above_system);
        compose_locked();
    });
}

}  // namespace

const Gl_Dispatch& gl() {
    const Gl_Dispatch* table = top_table.load(std::memory_order_acquire);
    if (table != nullptr) return *table;
    initialise();
    return *top_table.load(std::memory_order_acquire);
}

const Gl_Dispatch& system_gl() {
    initialise();
    return system_table;
}

void install_gl_layer(Gl_Layer* layer, Gl_Layer_Place place) {
    if (layer == nullptr) return;
    initialise();
    std::lock_guard<std::mutex> lock(stack_mutex);
    place_locked(layer, place);
    compose_locked();
}

void remove_gl_layer(Gl_Layer* layer) {
    initialise();
    std::lock_guard<std::mutex> lock(stack_mutex);
    stack.erase(std::remove(stack.begin(), stack.end(), layer), stack.end());
    compose_locked();
}

}  // namespace winx
