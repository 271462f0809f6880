// The last step of construction: the driver's draw actions go into the host's
// action table, each entry holding this object and one driver function.
// Entries of actions the driver does not provide keep what the host put there.
#include "driver/actions.h"
#include "driver/device.h"

namespace {

template <class Function>
void install(HT_Action<Function>& entry, OGL_Device_Data* device, Function function) {
    entry.object = device;
    entry.function = function;
}

}  // namespace

void OGL_Device_Data::install_draw_actions() {
    install(actions.draw_dc_textured_polytriangle, this, &OGL_Draw_DC_Textured_Polytriangle);  // 7
    install(actions.draw_dc_image, this, &OGL_Draw_DC_Image);                                  // 23
    install(actions.write_dc_depth, this, &OGL_Write_DC_Depth);                                // 24
    install(actions.read_dc_color, this, &OGL_Read_DC_Color);                                  // 26
    install(actions.read_dc_depth, this, &OGL_Read_DC_Depth);                                  // 27
}
