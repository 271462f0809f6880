// Construction and destruction of the renderer object. Construction registers
// the options, reports the screen, checks the board, sets the pixel format on
// the desktop, starts the render thread and installs the draw actions; when a
// step fails it stops there and HD_Device throws the object away. Destruction
// ends the render thread. The work of each step lives with its subject
// (options.cpp, board_checks.cpp, the pixel format in gl/, the render thread
// in thread/).
#include "driver/device.h"
#include "platform/gl.h"

namespace {

// OGL_Pixel_Lock points here from the first completed construction on.
CRITICAL_SECTION pixel_lock_storage;

}  // namespace

OGL_Device_Data::OGL_Device_Data() {
    register_options();

    device_context = nullptr;
    gl_context = nullptr;
    command = Render_Command{};
    for (Line_Stipple& stipple : line_stipples) stipple = Line_Stipple{0, 0};
    // Fields that CMD_INIT sets: known values until then.
    viewport_size = HT_Int_XY{0, 0};
    transform_valid = 0;
    loaded_texture_id = 0;
    buffer_depth = 0;
    fast_readback = false;
    x_scale = y_scale = z_scale = 0.0f;
    for (float& element : device_transform) element = 0.0f;
    batch_lock = nullptr;
    max_depth_value = 0.0f;
    color_array_enabled = false;
    vertex_array_enabled = false;
    current_state = GL_State_Key{SOLID_FACE_PATTERN, SOLID_LINE_PATTERN, 0, UNSET_COLOR, 0};
    pending_state = current_state;
    depth_test_enabled = 0;
    batch = &batches[0];
    hand_over = Batch_Hand_Over{nullptr, current_state};
    choose_channel_mode();

    ++OGL_Instance_Count;

    HWND desktop = GetDesktopWindow();
    HDC desktop_context = GetDC(desktop);
    report_figures(GetDeviceCaps(desktop_context, HORZRES), GetDeviceCaps(desktop_context, VERTRES));

    device_context = desktop_context;
    double_buffering = true;
    software_emulation = 0;

    // A stopped construction still gives the desktop's device context back.
    auto stop = [&] {
        ReleaseDC(desktop, desktop_context);
        device_context = nullptr;
    };

    // A DirectDraw that cannot be had stops here; the checks have released
    // whatever of it they obtained.
    if (!run_board_checks()) {
        stop();
        return;
    }

    if (!set_pixel_format()) {
        stop();
        return;
    }

    if (OGL_First_Construction == 1) {
        InitializeCriticalSection(&pixel_lock_storage);
        OGL_Pixel_Lock = &pixel_lock_storage;
    }
    OGL_First_Construction = 0;

    command.command_posted = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    command.command_done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE thread = nullptr;
    if (command.command_posted != nullptr && command.command_done != nullptr)
        thread = CreateThread(nullptr, 0, render_thread_proc, this, 0, nullptr);
    if (thread == nullptr) {
        // Without both events and the thread no command could ever be answered.
        if (command.command_posted != nullptr) CloseHandle(command.command_posted);
        if (command.command_done != nullptr) CloseHandle(command.command_done);
        command.command_posted = command.command_done = nullptr;
        stop();
        return;
    }
    CloseHandle(thread);  // the thread is never waited for by handle
    render_thread_started_ = true;
    WaitForSingleObject(command.command_done, INFINITE);

    if (!OGL_Batch_Lock_Initialized) {
        InitializeCriticalSection(&OGL_Batch_Lock);
        OGL_Batch_Lock_Initialized = true;
    }
    batch_lock = &OGL_Batch_Lock;

    copy_double_buffering_to_options();

    // CMD_INIT replaces it with the window's device context.
    ReleaseDC(desktop, desktop_context);
    device_context = nullptr;

    command.in_render_thread = 0;
    batch->first_draw_pending = 1;
    batch->vertex_total = 0;
    batch->primitive_count = 0;
    // Any kind and colour layout would do on an empty batch; set ones keep the
    // first append's comparisons from reading uninitialised memory.
    batch->primitive_kind = GL_POINTS;
    batch->vertices_only = 1;

    install_draw_actions();
}

OGL_Device_Data::~OGL_Device_Data() {
    if (!render_thread_started_) return;
    post_command(CMD_EXIT);
    // The render thread has answered its last command and touches nothing of
    // the object any more: the events can go.
    CloseHandle(command.command_posted);
    CloseHandle(command.command_done);
    command.command_posted = command.command_done = nullptr;
}
