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
}
