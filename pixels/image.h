// The point pass of one-row images, which leaves the row's interpolated
// depths in the depth buffer. The image action itself is declared with the
// other draw actions in driver/actions.h.
#pragma once

#include <cstdint>

#include "driver/device.h"

// Draws one point per pixel of a one-row image from start to end, with depths
// running from start.z (exclusive) to end.z, through the object's own point
// arrays in chunks of MAX_ROW_POINTS. At most row_pixels pixels are read from
// pixels (4 bytes each: blue, green, red, alpha); points left or right of the
// window are not drawn. Leaves the current OpenGL colour undefined. Render
// thread only, with both client arrays enabled.
void OGL_Draw_Image_Row_Points(OGL_Device_Data* device, const HT_Point3D& start,
                               const HT_Point3D& end, const uint8_t* pixels, int32_t row_pixels);
