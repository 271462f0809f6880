// Loading the driver module for tests and setting up what the host would.
#include "tests/support/test_device.h"

#include <dirent.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "host/loader.h"

namespace test_device {

namespace {

// Loaded modules stay for the life of the process (their threads may still
// run), all of them held here; the last one loaded serves create().
std::vector<HT_Driver_Module>& loaded_modules() {
    static std::vector<HT_Driver_Module>* modules = new std::vector<HT_Driver_Module>;
    return *modules;
}

void load_or_abort(const std::string& path) {
    HT_Driver_Module loaded;
    if (!loaded.load(path)) {
        std::fprintf(stderr, "cannot load %s: %s\n", path.c_str(), loaded.error().c_str());
        std::abort();
    }
    loaded_modules().push_back(loaded);
}

const HT_Driver_Module& current_module() {
    if (loaded_modules().empty()) load_or_abort(TOVREK_MODULE_PATH);
    return loaded_modules().back();
}

}  // namespace

HT_Device_Data* create() { return current_module().create_device(); }

void fresh_module() {
    // A copy of the file under another name loads as a module of its own,
    // with its own module-wide state.
    static int copies = 0;
    const std::string copy = std::string(std::getenv("TMPDIR") != nullptr ? std::getenv("TMPDIR") : "/tmp") +
                             "/tovrek-test-" + std::to_string(getpid()) + "-" + std::to_string(++copies) +
                             ".hdi";
    {
        std::ifstream from(TOVREK_MODULE_PATH, std::ios::binary);
        std::ofstream to(copy, std::ios::binary);
        to << from.rdbuf();
        if (!from || !to) {
            std::fprintf(stderr, "cannot copy %s to %s\n", TOVREK_MODULE_PATH, copy.c_str());
            std::abort();
        }
    }
    load_or_abort(copy);
    std::remove(copy.c_str());
}

void destroy(HT_Device_Data* device) { HD_Destroy_Device(device); }

HDC attach(HT_Device_Data* device, HWND window, int width, int height) {
    const HDC context = GetDC(window);
    device->device_options.set_context_id(reinterpret_cast<long>(context));
    device->current_options.set_window_size(HT_Int_XY{width, height});
    return context;
}

void set_buffer_depth(HT_Device_Data* device, int depth) {
    HT_Option* option = device->option_tables[0].find(HT_String("Buffer Depth"));
    if (option == nullptr) {
        std::fprintf(stderr, "the host's first option table has no \"Buffer Depth\"\n");
        std::abort();
    }
    HT_Option_Value value(HT_OPTION_TYPE_INTEGER, 1);
    value.set_as_int(0, depth);
    option->set(value);
}

OGL_Device_Data* driver(HT_Device_Data* device) { return static_cast<OGL_Device_Data*>(device); }

void await_drawing(HT_Device_Data* device) { driver(device)->await_batches_drawn(0); }

bool post_raw_command(OGL_Device_Data* device, int32_t code) {
    device->send_command(code);
    return WaitForSingleObject(device->command.command_done, 10000) == WAIT_OBJECT_0;
}

int thread_count() {
    int count = 0;
    if (DIR* tasks = opendir("/proc/self/task")) {
        while (dirent* entry = readdir(tasks))
            if (entry->d_name[0] != '.') ++count;
        closedir(tasks);
    }
    return count;
}

int settled_thread_count(int expected) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    int count = thread_count();
    while (count > expected && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        count = thread_count();
    }
    return count;
}

int quiet_thread_count() {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    int count = thread_count();
    int unchanged = 0;
    while (unchanged < 10 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        int now = thread_count();
        unchanged = now == count ? unchanged + 1 : 0;
        count = now;
    }
    return count;
}

}  // namespace test_device
