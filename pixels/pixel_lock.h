// Holds the module-wide OGL_Pixel_Lock for a scope: the lock that serialises
// ordinary pixel and depth transfers of all renderer objects' render threads.
// Leaving the scope by any way releases it.
#pragma once

#include "driver/device.h"

class Pixel_Lock_Hold {
public:
    Pixel_Lock_Hold() { EnterCriticalSection(OGL_Pixel_Lock); }
    ~Pixel_Lock_Hold() { LeaveCriticalSection(OGL_Pixel_Lock); }
    Pixel_Lock_Hold(const Pixel_Lock_Hold&) = delete;
    Pixel_Lock_Hold& operator=(const Pixel_Lock_Hold&) = delete;
};
