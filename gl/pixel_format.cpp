// The pixel-format step: choose, describe and set the pixel format of the
// device context the object holds (the desktop's during construction, the
// window's at CMD_INIT). Formats of 8 or 24 colour bits cannot be
// accelerated and switch the object to software emulation; the user is warned
// only while no object has completed construction. Context creation is in
// context.cpp.
#include "driver/device.h"

namespace {

const char* const ERROR_CAPTION = "QRB Error";
const char* const WARNING_CAPTION = "QRB WARNING : PIXEL FORMAT NOT SUPPORTED";
const char* const WARNING_TEXT =
    "Current pixel format not supported with hardware acceleration, reverting to software "
    "emulation code.  If you wish to use hardware acceleration, please select a destop with "
    "either 16bpp or 32bp pixel format.  Otherwise, you may continue in software emulation mode "
    "or you may select the standard VUDOZ Software ZBuffer driver and restart this application.  "
    "NOTE. Software emulation in 8bpp may produce strange colors wich will make using "
    "application very difficult  In this case it is highly recommended to use one of the other "
    "alternatives.";

bool fail(const char* text) {
    MessageBoxA(nullptr, text, ERROR_CAPTION, MB_OK);
    return false;
}

}  // namespace

bool OGL_Device_Data::set_pixel_format() {
    PIXELFORMATDESCRIPTOR format = {};
    format.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    if (double_buffering) format.dwFlags |= PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 16;
    // 16 bits whatever "Buffer Depth" says: that option sets only the range
    // of device z.
    format.cDepthBits = 16;
    format.iLayerType = PFD_MAIN_PLANE;

    int index = ChoosePixelFormat(device_context, &format);
    if (index == 0) return fail("ChoosePixelFormat failed");
    if (DescribePixelFormat(device_context, index, sizeof(PIXELFORMATDESCRIPTOR), &format) == 0)
        return fail("DescribePixelFormat failed");
    if (format.cColorBits == 8 || format.cColorBits == 24) {
        if (OGL_First_Construction != 0) MessageBoxA(nullptr, WARNING_TEXT, WARNING_CAPTION, MB_OK);
        software_emulation = 1;
    }
    if (!SetPixelFormat(device_context, index, &format)) {
        GetLastError();
        return fail("SetPixelFormat failed");
    }
    return true;
}
