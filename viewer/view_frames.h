// Drawing the orbit's frames on one kind of renderer: the driver and the
// direct-OpenGL reference draw into a window of their own, one at a time,
// so that no window covers the other while it is captured; the software
// reference draws into memory. What becomes of each frame (stored,
// compared, written) is the caller's business, through Frame_Pass.
#pragma once

#include <functional>
#include <string>

#include "platform/winx.h"
#include "viewer/scene_sender.h"
#include "viewer/view_options.h"

struct Frame_Pass {
    int frames = 1;
    // Called with every frame's picture when set (the frame captured after
    // it is shown); false stops the pass as a failure, with *error set.
    std::function<bool(int index, const winx::Window_Snapshot& picture, std::string* error)> on_frame;
    // Called after every frame with the number of frames done.
    std::function<void(int done)> on_progress;
};

struct Rendering {
    winx::Window_Snapshot picture;  // the last frame
    int frames = 0;
    double seconds = 0;
};

// False, with the reason, when the renderer cannot be set up or a frame's
// handler fails.
bool render_frames(View_Renderer renderer, const View_Options& options, const std::string& module_path,
                   Scene_Sender& sender, const Frame_Pass& pass, Rendering* rendering, std::string* error);

// "driver", "direct reference" or "software reference".
const char* renderer_name(View_Renderer renderer);

// Sets the host's "Buffer Depth" option of a device.
void set_buffer_depth(HT_Device_Data* device, int depth);
