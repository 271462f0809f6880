// A minimal driver module for the loader tests: its HD_Device makes a device
// whose start_device answers 7, so a test can tell the module's code ran.
#include "host/device.h"

namespace {

class Test_Device : public HT_Device_Data {
public:
    int start_device() override { return 7; }
};

}  // namespace

extern "C" HT_Device_Data* HD_Device() { return new Test_Device; }
