// The driver or the direct-OpenGL reference set up on a window of its own,
// ready to draw: the module loaded, the device made and started (or the
// reference's context made), and all of it taken down again in the right
// order. It draws nothing itself.
#pragma once

#include <memory>
#include <string>

#include "host/loader.h"
#include "platform/winx.h"
#include "viewer/direct_gl_device.h"
#include "viewer/view_options.h"

class Window_Renderer {
public:
    Window_Renderer() = default;
    ~Window_Renderer();
    Window_Renderer(const Window_Renderer&) = delete;
    Window_Renderer& operator=(const Window_Renderer&) = delete;

    // `renderer` is the driver or the direct reference. False, with the
    // reason, when the module, the window or the device cannot be had.
    bool open(View_Renderer renderer, const View_Options& options, const std::string& module_path,
              std::string* error);

    HT_Device_Data* device() const;
    HWND window() const { return window_; }
    void present();
    bool capture(winx::Window_Snapshot* picture, std::string* error) const;

private:
    HT_Driver_Module module_;
    HWND window_ = nullptr;
    HDC dc_ = nullptr;
    HT_Device_Data* driver_device_ = nullptr;
    std::unique_ptr<Direct_Gl_Device> direct_;
};
