// Construction and destruction of the renderer object. Construction registers
// the options, reports the screen, checks the board, sets the pixel format on
// the desktop, starts the render thread and installs the draw actions; when a
// step fails it stops there and HD_Device throws the object away; when a step
// throws, what was obtained (render thread, events, instance count, the
// desktop's device context) is released before the exception passes on.
// Destruction ends the render thread. The work of each step lives with its subject
// (options.cpp, board_checks.cpp, the pixel format in gl/, the render thread
// in thread/).
#include "driver/device.h"
#include "platform/gl.h"

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
    for (GL_State_Key& key : batch_keys) key = current_state;
    batches_handed = 0;
    batches_drawn = 0;
    host_awaits_drawing = false;
    batch_drawn = nullptr;
    command_pending = false;
    choose_channel_mode();
    choose_draw_mode();
    batch_draw = Batch_Draw::per_primitive;
    host_waits.may_poll = render_waits.may_poll = may_run_on_several_processors();

    OGL_Count_Construction();

    HWND desktop = GetDesktopWindow();
    HDC desktop_context = GetDC(desktop);
    // device_context holds the desktop's until it is given back.
    device_context = desktop_context;
    try {
        construct_after_count(desktop, desktop_context);
    } catch (...) {
        // Whatever was obtained goes before the exception passes on: the
        // render thread ends (and takes its increment of the instance count
        // with it), then the events and the desktop's device context.
        if (render_thread_started_) {
            end_render_thread();
        } else {
            --OGL_Instance_Count;
            close_events();
        }
        if (device_context == desktop_context && desktop_context != nullptr) {
            ReleaseDC(desktop, desktop_context);
            device_context = nullptr;
        }
        throw;
    }
}

void OGL_Device_Data::construct_after_count(HWND desktop, HDC desktop_context) {
    report_figures(GetDeviceCaps(desktop_context, HORZRES), GetDeviceCaps(desktop_context, VERTRES));

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

    OGL_End_First_Construction();

    command.command_posted = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    command.command_done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    batch_drawn = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE thread = nullptr;
    if (command.command_posted != nullptr && command.command_done != nullptr && batch_drawn != nullptr)
        thread = CreateThread(nullptr, 0, render_thread_proc, this, 0, nullptr);
    if (thread == nullptr) {
        // Without the events and the thread no command could ever be answered.
        close_events();
        stop();
        return;
    }
    CloseHandle(thread);  // the thread is never waited for by handle
    render_thread_started_ = true;
    WaitForSingleObject(command.command_done, INFINITE);

    batch_lock = OGL_Share_Batch_Lock();

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

void OGL_Device_Data::close_events() {
    if (command.command_posted != nullptr) CloseHandle(command.command_posted);
    if (command.command_done != nullptr) CloseHandle(command.command_done);
    if (batch_drawn != nullptr) CloseHandle(batch_drawn);
    command.command_posted = command.command_done = batch_drawn = nullptr;
}

// CMD_EXIT, then the events: the render thread has answered its last command
// and touches nothing of the object any more.
void OGL_Device_Data::end_render_thread() {
    post_command(CMD_EXIT);
    render_thread_started_ = false;
    close_events();
}

OGL_Device_Data::~OGL_Device_Data() {
    if (render_thread_started_) end_render_thread();
}
