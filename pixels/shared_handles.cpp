// Reference counting for the driver, on the host's own counting: the host's
// functions and handle operations take VUDOZ's critical section around every
// change of a count, so nothing here takes it a second time.
#include "pixels/shared_handles.h"

void add_shared_reference(HT_Counted* object) { HT_Add_Shared_Reference(object); }

void release_shared_reference(HT_Counted* object) { HT_Release_Shared_Reference(object); }

void reset_shared_handle(HT_Shared_Handle<HT_Image>& handle) { handle.reset(); }

void reset_shared_handle(HT_Shared_Handle<HT_Texture>& handle) { handle.reset(); }

void assign_shared_handle(HT_Shared_Handle<HT_Image>& target, const HT_Shared_Handle<HT_Image>& source) {
    target.assign(source);
}

void assign_shared_handle(HT_Shared_Handle<HT_Texture>& target,
                          const HT_Shared_Handle<HT_Texture>& source) {
    target.assign(source);
}
