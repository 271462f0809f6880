// A minimal host: loads the installed driver, clears a 200x150 window, draws
// a triangle strip and a polyline, reads the colour back, presents, and
// writes what it read as a PNG. It needs an X display.
// Usage: minimal_host [OUT.png [MODULE]]
#include <png.h>

#include <cstdio>

#include "host/loader.h"
#include "platform/winx.h"

int main(int argc, char** argv) {
    const char* output = argc > 1 ? argv[1] : "minimal_host.png";
    const char* module_path = argc > 2 ? argv[2] : VUDOZ_MODULE_PATH;
    const int width = 200, height = 150;
    HT_Driver_Module module;
    if (!module.load(module_path)) return std::fprintf(stderr, "%s\n", module.error().c_str()), 1;
    HT_Device_Data* device = module.create_device();
    HWND window = device != nullptr ? winx::create_window(width, height, "minimal host") : nullptr;
    if (window == nullptr) return std::fprintf(stderr, "no renderer or no window\n"), 1;

    // Depth values run from 0 (near) to 2^16 - 1 (far). With "Fast Readback"
    // on, reads keep the pixels on the board for a later redraw: off, they come here.
    HT_Option_Value buffer_depth(HT_OPTION_TYPE_INTEGER, 1), fast_readback(HT_OPTION_TYPE_BOOLEAN, 1);
    buffer_depth.set_as_int(0, 16);
    fast_readback.set_as_boolean(0, false);
    device->option_tables[0].find("Buffer Depth")->set(buffer_depth);
    device->option_tables[0].find("Fast Readback")->set(fast_readback);
    HDC window_dc = GetDC(window);
    device->device_options.set_context_id(reinterpret_cast<long>(window_dc));
    device->current_options.set_window_size({width, height});
    device->start_device();

    // Device coordinates: window pixels from the lower-left corner.
    HT_Action_Table& actions = device->actions;
    HT_Rendition rendition;
    rendition.color.color = HT_Make_RGB32(0, 0, 64);  // a far rectangle clears colour and depth
    actions.draw_dc_rectangle.function(actions.draw_dc_rectangle.object, &rendition, 0, width - 1, 0, height - 1);
    const HT_Point3D strip[4] = {{20, 20, 100}, {120, 20, 100}, {20, 120, 100}, {120, 120, 100}};
    rendition.color.color = HT_Make_RGB32(255, 160, 0);
    actions.draw_dc_polytriangle.function(actions.draw_dc_polytriangle.object, &rendition, 4, strip);
    const HT_Point3D line[3] = {{140, 20, 50}, {180, 75, 50}, {140, 130, 50}};
    rendition.color.color = HT_Make_RGB32(0, 255, 0);
    actions.draw_dc_polyline.function(actions.draw_dc_polyline.object, &rendition, 3, line);

    // Read the frame before presenting it: reads come from the back buffer,
    // which presenting leaves undefined. Corners: upper-left, lower-right;
    // rows come top first, each pixel as blue, green, red, alpha.
    const HT_Point3D start = {0, height - 1, 0}, end = {width - 1, 0, 0};
    HT_Shared_Image picture;
    actions.read_dc_color.function(actions.read_dc_color.object, &rendition, &start, &end, picture);
    device->show_frame(0);
    png_image png = {};
    png.version = PNG_IMAGE_VERSION;
    png.width = picture->width();
    png.height = picture->height();
    png.format = PNG_FORMAT_BGRA;
    bool written = png_image_write_to_file(&png, output, 0, picture->pixels(), picture->row_bytes(), nullptr);
    picture.reset();
    HD_Destroy_Device(device);
    ReleaseDC(window, window_dc);
    winx::destroy_window(window);
    return written ? 0 : 1;
}
