// The driver's options: registration of "Double Buffering", "Dithering" and
// "Fast Readback" in the definition table and both option tables, the figures
// the object reports about its screen, the double-buffering result, and the
// lookup of option values by name. The host's tables own all the storage.
#include "driver/device.h"

namespace {

enum Option_Slot { DOUBLE_BUFFERING, DITHERING, FAST_READBACK };

const char* const OPTION_NAMES[3] = {"Double Buffering", "Dithering", "Fast Readback"};

// Where each option's definition is kept in option_definitions.
const int DEFINITION_SLOT[3] = {0, 2, 1};

}  // namespace

void OGL_Device_Data::register_options() {
    for (int slot = DOUBLE_BUFFERING; slot <= FAST_READBACK; ++slot) {
        HT_Option_Definition definition(HT_String(OPTION_NAMES[slot]), HT_OPTION_TYPE_BOOLEAN, 1,
                                        HT_OPTION_SCOPE_DEVICE);
        option_definitions[DEFINITION_SLOT[slot]] = HT_Device_Data::option_definitions.add(definition);
    }
    HT_Option** kept[2] = {options_in_first_table, options_in_second_table};
    for (int table = 0; table < 2; ++table) {
        HT_Option_Value value(HT_OPTION_TYPE_BOOLEAN, 1);
        value.set_as_boolean(0, true);
        for (int slot = DOUBLE_BUFFERING; slot <= FAST_READBACK; ++slot) {
            HT_Option option(option_definitions[DEFINITION_SLOT[slot]], value);
            kept[table][slot] = option_tables[table].add(option);
        }
    }
}

void OGL_Device_Data::report_figures(int screen_width, int screen_height) {
    reported_options.set_window_size(HT_Int_XY{screen_width, screen_height});
    reported_options.set_window_origin(HT_Int_XY{0, 0});
    device_options.polyline_point_limit = 300;
    device_options.polytriangle_point_limit = 300;
    reported_options.set_buffer_depth(16);
    reported_options.set_color_system(HT_COLOR_SYSTEM_RGB);
    reported_options.set_pixel_aspect(1.0f);
    reported_options.set_clipping_fudge(HT_Float_Rectangle{-0.4999f, 0.4999f, -0.4999f, 0.4999f});
}

void OGL_Device_Data::copy_double_buffering_to_options() {
    HT_Option* targets[2] = {options_in_second_table[DOUBLE_BUFFERING],
                             options_in_first_table[DOUBLE_BUFFERING]};
    for (HT_Option* option : targets) {
        HT_Option_Value value(HT_OPTION_TYPE_BOOLEAN, 1);
        value.set_as_boolean(0, double_buffering);
        option->set(value);
    }
}

void OGL_Device_Data::find_option_value(const HT_String& name, HT_Option_Value* result) const {
    const HT_Option* option = option_tables[0].find(name);
    if (option == nullptr) {
        result->reset();
        return;
    }
    result->assign(option->value());
}
