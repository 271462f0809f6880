// The software reference: a device that draws into a memory image with the
// host's standard software routines. Polytriangles of every kind go to the
// standard routines, which scan-convert them and hand back single pixels
// through this device's coloured-dot entry; that entry and the rectangle
// keep a depth buffer of device z with the GL_LEQUAL rule. One-pixel solid
// polylines (the viewer's edges) are stepped here, since the standard
// routines hand solid lines back to the device. Only solid face patterns and
// solid lines are drawn: the viewer sends no others.
#pragma once

#include <vector>

#include "host/device.h"
#include "platform/winx.h"

class Software_Device : public HT_Device_Data {
public:
    Software_Device(int width, int height, int buffer_depth);

    // The picture, as a window capture gives it (0x00RRGGBB, top row first).
    const winx::Window_Snapshot& image() const { return image_; }

    // Sets a pixel when its device z passes the depth test (x and y are
    // inside the window). With a buffer depth under 2 nothing is tested.
    void plot(int x, int y, double z, HT_RGB32 color);
    void fill(int left, int right, int bottom, int top, HT_RGB32 color);
    int width() const { return image_.width; }
    int height() const { return image_.height; }

private:
    winx::Window_Snapshot image_;
    std::vector<double> depth_;  // device z, bottom row first
    bool depth_tested_;
    double far_depth_;
};
