// The state that all renderer objects of the module share: the instance
// count, the first-construction flag, the two locks and the diagnostic
// switches, and the changes to it that constructions and render threads make.
// Hosts may construct and destroy renderer objects on several threads at
// once, so every change that reads and then writes this state runs under one
// module lock; the count and the flag are atomic for the plain reads
// elsewhere.
#include <mutex>

#include "driver/device.h"

std::atomic<int32_t> OGL_Instance_Count{0};
std::atomic<int32_t> OGL_First_Construction{1};
CRITICAL_SECTION OGL_Batch_Lock;
bool OGL_Batch_Lock_Initialized = false;
CRITICAL_SECTION* OGL_Pixel_Lock = nullptr;

namespace {

std::mutex module_lock;
// OGL_Pixel_Lock points here from the first completed construction on.
CRITICAL_SECTION pixel_lock_storage;

}  // namespace

void OGL_Count_Construction() {
    std::lock_guard<std::mutex> hold(module_lock);
    ++OGL_Instance_Count;
}

void OGL_End_First_Construction() {
    std::lock_guard<std::mutex> hold(module_lock);
    if (OGL_First_Construction == 1) {
        InitializeCriticalSection(&pixel_lock_storage);
        OGL_Pixel_Lock = &pixel_lock_storage;
    }
    OGL_First_Construction = 0;
}

CRITICAL_SECTION* OGL_Share_Batch_Lock() {
    std::lock_guard<std::mutex> hold(module_lock);
    if (!OGL_Batch_Lock_Initialized) {
        InitializeCriticalSection(&OGL_Batch_Lock);
        OGL_Batch_Lock_Initialized = true;
    }
    return &OGL_Batch_Lock;
}

void OGL_Count_Exit() {
    std::lock_guard<std::mutex> hold(module_lock);
    --OGL_Instance_Count;
    if (OGL_Instance_Count == 0 && OGL_Batch_Lock_Initialized) {
        DeleteCriticalSection(&OGL_Batch_Lock);
        OGL_Batch_Lock_Initialized = false;
    }
}

const int32_t DEBUG_UNBATCHED_VERTICES = 0;
const int32_t DEBUG_UNBATCHED_COLORED_VERTICES = 0;
const int32_t DEBUG_SHOW_EACH_BATCH = 0;
const int32_t DEBUG_SHOW_EACH_COMMAND = 0;
