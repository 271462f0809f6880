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
    install(actions.draw_dc_polyline, this, &OGL_Draw_DC_Polyline);
    install(actions.draw_dc_colorized_polyline, this, &OGL_Draw_DC_Colorized_Polyline);
    install(actions.draw_dc_gouraud_polyline, this, &OGL_Draw_DC_Gouraud_Polyline);
    install(actions.draw_dc_polytriangle, this, &OGL_Draw_DC_Polytriangle);
    install(actions.draw_dc_colorized_polytriangle, this, &OGL_Draw_DC_Colorized_Polytriangle);
    install(actions.draw_dc_gouraud_polytriangle, this, &OGL_Draw_DC_Gouraud_Polytriangle);
    install(actions.draw_dc_textured_polytriangle, this, &OGL_Draw_DC_Textured_Polytriangle);
    install(actions.draw_dc_rectangle, this, &OGL_Draw_DC_Rectangle);
    install(actions.prepare_dc_rectangle, this, &OGL_Prepare_DC_Rectangle);
    install(actions.draw_dc_dot, this, &OGL_Draw_DC_Dot);
    install(actions.draw_dc_colorized_dot, this, &OGL_Draw_DC_Colorized_Dot);
    install(actions.draw_dc_image, this, &OGL_Draw_DC_Image);
    install(actions.write_dc_depth, this, &OGL_Write_DC_Depth);
    install(actions.read_dc_color, this, &OGL_Read_DC_Color);
    install(actions.read_dc_depth, this, &OGL_Read_DC_Depth);
    install(actions.finish_dc_drawing, this, &OGL_Empty_Action);
}
