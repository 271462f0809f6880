// The built-in scene, drawn through a device's action table the way a host
// draws: every kind of primitive, the fallbacks, a textured floor, an image
// and a read-and-restore cycle. Presenting it is the caller's business.
#pragma once

#include <set>
#include <string>

#include "host/device.h"

constexpr int DEMO_WIDTH = 760;
constexpr int DEMO_HEIGHT = 480;
// The scene's depths assume this "Buffer Depth".
constexpr int DEMO_BUFFER_DEPTH = 16;

// Draws one frame on a started device with a DEMO_WIDTH x DEMO_HEIGHT window.
// Actions the device left empty are skipped and named in *missing.
void draw_demo_scene(HT_Device_Data* device, std::set<std::string>* missing);
