// The driver's side of the host's reference counting: every count of a host
// object that is shared by handle (images, textures) changes only inside the
// critical section of the host's global VUDOZ, which the host's counted
// handles take. These are the four steps the driver uses; each does exactly
// what the host's handle does, so driver and host count alike.
#pragma once

#include "host/counted.h"
#include "host/image.h"
#include "host/rendition.h"

// One more reference; nothing for null.
void add_shared_reference(HT_Counted* object);
// One reference fewer (object not null); the object is deleted when it was
// the last one.
void release_shared_reference(HT_Counted* object);

// Drops the handle's reference, if any, and leaves it null.
void reset_shared_handle(HT_Shared_Handle<HT_Image>& handle);
void reset_shared_handle(HT_Shared_Handle<HT_Texture>& handle);

// Makes target refer to source's object: the new reference is added before
// the old one is dropped, so assigning a handle to itself is safe.
void assign_shared_handle(HT_Shared_Handle<HT_Image>& target, const HT_Shared_Handle<HT_Image>& source);
void assign_shared_handle(HT_Shared_Handle<HT_Texture>& target,
                          const HT_Shared_Handle<HT_Texture>& source);
