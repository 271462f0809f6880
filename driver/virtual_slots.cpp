// The renderer object's own virtual operations (slots 1, 4, 5, 8 to 12 and
// 14); the host's implementations serve the other slots. Slots 9 and 11 hand
// their work to the render thread and wait for it.
#include "driver/device.h"

int OGL_Device_Data::query_reserved() { return 0; }

HT_Renderer_Options& OGL_Device_Data::options_record() { return reported_options; }

HT_Renderer_Options& OGL_Device_Data::renderer_options_record() { return reported_options; }

HT_Option_Table& OGL_Device_Data::device_option_table() { return physical_option_table; }

int OGL_Device_Data::start_device() {
    post_command(CMD_INIT);
    return 0;
}

void OGL_Device_Data::reserved_slot_10() {}

void OGL_Device_Data::show_frame(int) { post_command(CMD_PRESENT); }

void OGL_Device_Data::reserved_slot_12() {}

void OGL_Device_Data::reserved_slot_14() {}
