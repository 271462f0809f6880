// The device goes before the window and the module, since the driver's
// render thread draws into the one and runs code of the other.
#include "viewer/window_renderer.h"

#include "viewer/view_frames.h"

Window_Renderer::~Window_Renderer() {
    if (driver_device_ != nullptr) HD_Destroy_Device(driver_device_);
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
    direct_.reset();
    if (window_ != nullptr) winx::destroy_window(window_);
}

bool Window_Renderer::open(View_Renderer renderer, const View_Options& options, const std::string& module_path,
                           std::string* error) {
    if (renderer == View_Renderer::driver && !module_.load(module_path)) {
        *error = module_.error();
        return false;
    }
    window_ = winx::create_window(options.width, options.height, "tovrek view");
    if (window_ == nullptr) {
        *error = "no window could be made on the display";
        return false;
    }
    if (renderer != View_Renderer::driver) {
        direct_ = std::make_unique<Direct_Gl_Device>();
        return direct_->attach(window_, options.width, options.height, options.buffer_depth, error);
    }
    driver_device_ = module_.create_device();
    if (driver_device_ == nullptr) {
        *error = "the driver gave no device (HD_Device returned null)";
        return false;
    }
    dc_ = GetDC(window_);
    set_buffer_depth(driver_device_, options.buffer_depth);
    driver_device_->device_options.set_context_id(reinterpret_cast<long>(dc_));
    driver_device_->current_options.set_window_size({options.width, options.height});
    HD_Start_Device(driver_device_);
    return true;
}

HT_Device_Data* Window_Renderer::device() const {
    return driver_device_ != nullptr ? driver_device_ : direct_.get();
}

void Window_Renderer::present() {
    if (driver_device_ != nullptr) HD_Show_Frame(driver_device_, 0);
    else if (direct_) direct_->show_frame(0);
}

bool Window_Renderer::capture(winx::Window_Snapshot* picture, std::string* error) const {
    if (window_ != nullptr && winx::capture_window(window_, picture)) return true;
    *error = "the window could not be captured";
    return false;
}
