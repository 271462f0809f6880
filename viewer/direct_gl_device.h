// The direct-OpenGL reference: a device whose actions draw at once with
// plain OpenGL 1.1 on the calling thread, into a context of its own on the
// host's window. No render thread, no batch, no state mirrors: every action
// sets every state it needs. It follows the device-coordinate rules (x and y
// in window pixels, device z over 2^depth - 1 onto depths 0.5 to 1.0,
// GL_LEQUAL, the clearing rectangle at the far end) and draws what the viewer
// sends: rectangles, dots, polylines and the four kinds of polytriangle,
// solid faces and lines only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/device.h"
#include "platform/windows.h"

class Direct_Gl_Device : public HT_Device_Data {
public:
    Direct_Gl_Device();
    ~Direct_Gl_Device() override;

    // Makes a double-buffered context with `buffer_depth` bits of depth on
    // the window and sets the device transform. False, with a reason, when
    // OpenGL refuses.
    bool attach(HWND window, int width, int height, int buffer_depth, std::string* error);
    void show_frame(int flags) override;

    // Makes the host texture OpenGL's texture image, unless it is already;
    // false when it has no usable image.
    bool load_texture(const HT_Texture* texture);
    // A buffer for the colours of a strip of `count` points, in OpenGL's
    // order; kept between calls.
    std::vector<uint8_t>& color_buffer(int count) {
        colors_.resize(4 * size_t(count));
        return colors_;
    }
    int buffer_depth() const { return buffer_depth_; }
    float far_depth() const { return far_depth_; }

private:
    HWND window_ = nullptr;
    HDC dc_ = nullptr;
    HGLRC context_ = nullptr;
    int buffer_depth_ = 24;
    float far_depth_ = 0;
    // OpenGL 1.1 without texture objects holds one texture image: this one.
    const HT_Texture* loaded_texture_ = nullptr;
    std::vector<uint8_t> colors_;
    bool loaded_usable_ = false;
};
