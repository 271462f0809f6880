// The state that all renderer objects of the module share: the instance
// count, the first-construction flag, the two locks and the diagnostic
// switches. Nothing here changes it; construction, destruction and the render
// threads do.
#include "driver/device.h"

int32_t OGL_Instance_Count = 0;
int32_t OGL_First_Construction = 1;
CRITICAL_SECTION OGL_Batch_Lock;
bool OGL_Batch_Lock_Initialized = false;
CRITICAL_SECTION* OGL_Pixel_Lock = nullptr;

const int32_t DEBUG_UNBATCHED_VERTICES = 0;
const int32_t DEBUG_UNBATCHED_COLORED_VERTICES = 0;
const int32_t DEBUG_SHOW_EACH_BATCH = 0;
const int32_t DEBUG_SHOW_EACH_COMMAND = 0;
