// OGL_Device_Data: the renderer object that HD_Device hands the host, and the
// module-wide state that all renderer objects of the module share. The
// object's blocks lie in this order: the host base part, the option handles,
// the window and context fields, double buffering, the remaining context
// fields, the batch lock, software emulation, the command block, the largest
// device z, the primitive batches, and the OpenGL state caches.
//
// Renderer objects may be created and destroyed on several host threads at
// once: the module-wide state below changes under the module's lock. The
// host calls one object from one thread at a time.
#pragma once

#include <atomic>
#include <cstdint>

#include "thread/await_signal.h"
#include "host/device.h"
#include "platform/windows.h"

// ---- the command block ---------------------------------------------------------

enum Command_Code : int32_t {
    CMD_INIT = 1,
    CMD_PRESENT = 2,
    CMD_EXIT = 3,
    CMD_NOOP = 4,
    CMD_RECTANGLE = 5,
    CMD_DRAW_IMAGE = 8,
    CMD_WRITE_DEPTH = 9,
    CMD_READ_COLOR = 10,
    CMD_READ_DEPTH = 11,
    CMD_TEXTURED_TRIANGLES = 18,
    CMD_STATE_CHANGE = 19,
    CMD_FLUSH = 20,
};

// One slot: the poster fills it, signals command_posted and waits on
// command_done; the arguments are the poster's own pointers, valid until the
// render thread signals.
struct Render_Command {
    HANDLE command_posted;
    HANDLE command_done;
    int32_t command_code;
    const HT_Rendition* rendition;
    int32_t point_count;
    int32_t rect_left;
    int32_t rect_right;
    int32_t rect_bottom;
    int32_t rect_top;
    const HT_Point3D* start_point;
    const HT_RGB32* point_colors;
    const HT_Point3D* end_point;
    int32_t row_bytes;
    const void* pixels;
    const uint16_t* depth_values;
    HT_Shared_Image* result_image;
    const HT_Parameter* parameters;
    const float* vertex_values;
    int32_t in_render_thread;
};

// ---- the primitive batch -----------------------------------------------------------

constexpr int MAX_BATCH_PRIMITIVES = 100;
constexpr int MAX_BATCH_VERTICES = 300;

// What OpenGL reads as a colour array of 3 unsigned bytes with a stride of 4.
struct Batch_Color {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
    uint8_t unused;
};
static_assert(sizeof(Batch_Color) == 4, "colour entries are 4 bytes");
static_assert(sizeof(HT_Point3D) == 12, "vertices are three floats");

struct Primitive_Batch {
    int32_t vertex_total;
    int32_t vertices_only;
    Batch_Color colors[MAX_BATCH_VERTICES];
    HT_Point3D vertices[MAX_BATCH_VERTICES];
    int32_t primitive_count;
    int32_t primitive_kind;
    int32_t primitive_sizes[MAX_BATCH_PRIMITIVES];
    int32_t first_draw_pending;
};

// The drawing state a batch needs, and the state OpenGL has.
struct GL_State_Key {
    int32_t face_pattern;
    int32_t line_pattern;
    int32_t line_weight;
    uint32_t color;  // 0xAARRGGBB; 0xFFFFFFFF in current_state: not set
    int32_t shade_model;
};

constexpr uint32_t UNSET_COLOR = 0xFFFFFFFFu;

// A full batch on its way to the render thread, with the key it was queued
// under. The host's thread writes it before it posts the hand-over and
// clears it once the render thread has answered; the render thread reads it
// in between. While one batch is handed over the host's thread fills the
// other.
struct Batch_Hand_Over {
    Primitive_Batch* batch;  // null: none handed over
    GL_State_Key state;
};

struct Line_Stipple {
    int32_t factor;
    uint16_t pattern;
};

constexpr int LINE_STIPPLE_COUNT = 9;
constexpr int FACE_STIPPLE_COUNT = 73;
constexpr int SOLID_LINE_PATTERN = 0;
constexpr int SOLID_FACE_PATTERN = 64;

// ---- one-row images and board requests (per object, so that render threads of
// several objects never share them) -------------------------------------------------

constexpr int MAX_ROW_POINTS = 300;
constexpr int BOARD_REQUEST_WORDS = 10;

struct Row_Point_Arrays {
    HT_Point3D vertices[MAX_ROW_POINTS];
    Batch_Color colors[MAX_ROW_POINTS];
};

// A primitive longer than the batch, handed to the render thread in arrays of
// its own (the host's thread fills them and waits while they are drawn), so
// that it is drawn with one glDrawArrays like any primitive that fits.
// colors is null for a primitive without colours; count 0: none waits.
struct Long_Primitive {
    int32_t count = 0;
    HT_Point3D* vertices = nullptr;
    const Batch_Color* colors = nullptr;
};

// ---- the renderer object -------------------------------------------------------------

class OGL_Device_Data : public HT_Device_Data {
public:
    OGL_Device_Data();
    ~OGL_Device_Data() override;

    // Virtual operations (the host's base implementations serve slots 2, 3,
    // 6, 7 and 13).
    int query_reserved() override;
    HT_Renderer_Options& options_record() override;
    HT_Renderer_Options& renderer_options_record() override;
    HT_Option_Table& device_option_table() override;
    int start_device() override;
    void reserved_slot_10() override;
    void show_frame(int flags) override;
    void reserved_slot_12() override;
    void reserved_slot_14() override;

    // True when construction ran to its end and the render thread runs.
    bool constructed() const { return render_thread_started_; }

    // Command channel: wait until a handed-over batch is drawn, then store
    // the code, signal, wait until it is done.
    void post_command(Command_Code code);
    // Host's thread: hands the filling batch to the render thread with the
    // pending key and returns without waiting for it to be drawn; waits only
    // while the batch handed over before is still being drawn.
    void hand_over_batch();
    // Host's thread: returns once no handed-over batch is waiting to be drawn.
    void await_hand_over() {
        if (hand_over.batch == nullptr) return;
        await_signal(command.command_done, host_waits);
        hand_over.batch = nullptr;
    }

    // Options.
    void register_options();
    void report_figures(int screen_width, int screen_height);
    void copy_double_buffering_to_options();
    void install_draw_actions();
    void find_option_value(const HT_String& name, HT_Option_Value* result) const;

    // Start-up board checks; false when the construction must stop.
    bool run_board_checks();
    // Sets `synchronous` from the environment and the driver's registry key.
    void choose_channel_mode();

    // Context and state (render thread, except set_pixel_format which the
    // construction also runs).
    bool set_pixel_format();
    int init_context();
    void init_gl_state();
    void load_device_transform();
    // Render thread, at CMD_EXIT: unbinds and deletes the rendering context.
    void release_context();
    // Draws the filling batch with pending_state and empties it.
    void flush_batch();
    // Draws a batch with the key it was queued under and empties it.
    void draw_batch(Primitive_Batch& queued, const GL_State_Key& key);
    // Applies `key` and draws the primitives of `sizes` (of `kind`) from the
    // arrays; colors is null for primitives without colours.
    void draw_primitives(int32_t kind, HT_Point3D* vertices, const Batch_Color* colors,
                         const int32_t* sizes, int32_t primitive_count, const GL_State_Key& key);

    // Batch (host's thread, under batch_lock).
    void append_vertices(int32_t kind, int32_t count, const HT_Point3D* points);
    void append_colored_vertices(int32_t kind, int32_t count, const HT_Point3D* points,
                                 const HT_RGB32* colors);
    void set_dot_state(int32_t kind, HT_RGB32 color);
    void set_triangle_state(int32_t kind, int32_t shade_model, HT_RGB32 color, int32_t face_pattern);
    void set_line_state(int32_t kind, int32_t shade_model, HT_RGB32 color, int32_t line_weight,
                        int32_t line_pattern);
    void request_flush();

    // Colour helpers (render thread).
    void set_color(HT_RGB32 color);
    void update_color(HT_RGB32 color);

    // ---- 2. option handles
    HT_Option_Definition* option_definitions[3];  // Double Buffering, Fast Readback, Dithering
    HT_Option* options_in_first_table[3];         // Double Buffering, Dithering, Fast Readback
    HT_Option* options_in_second_table[3];

    // ---- 3. window and context
    HDC device_context;
    HT_Int_XY viewport_size;
    int32_t transform_valid;  // 0: load again before the next draw; -1: loaded
    int32_t loaded_texture_id;

    // ---- 4.
    bool double_buffering;

    // ---- 5. remaining context fields
    int32_t buffer_depth;
    bool fast_readback;
    float x_scale;
    float y_scale;
    float z_scale;
    float device_transform[16];  // column-major, as glLoadMatrixf takes it

    // ---- 6.
    CRITICAL_SECTION* batch_lock;

    // ---- 7.
    int32_t software_emulation;

    // ---- 8.
    Render_Command command;

    // ---- 9.
    float max_depth_value;

    // ---- 10. the primitive batches: `batch` is the one the host's thread
    // fills; the other is drawn by the render thread after a hand-over.
    Primitive_Batch batches[2];
    Primitive_Batch* batch;
    Batch_Hand_Over hand_over;
    // True when every flush waits until its batch is drawn (the one-slot
    // channel); false when full batches are handed over without waiting.
    bool synchronous;
    // How long each side's recent waits on the other lasted: the host's
    // thread keeps host_waits, the render thread render_waits.
    Signal_Wait_History host_waits;
    Signal_Wait_History render_waits;

    // ---- 11. OpenGL state caches
    Line_Stipple line_stipples[LINE_STIPPLE_COUNT];
    uint8_t face_stipples[FACE_STIPPLE_COUNT][128];
    bool color_array_enabled;
    bool vertex_array_enabled;
    GL_State_Key current_state;
    GL_State_Key pending_state;
    int32_t depth_test_enabled;
    HGLRC gl_context;

    // ---- one-row images and board requests
    Row_Point_Arrays row_points;
    uint32_t board_request_block[BOARD_REQUEST_WORDS];

    // ---- a primitive longer than the batch, while it is being drawn
    Long_Primitive long_primitive;

private:
    // Construction from the desktop's device context on (the steps after the
    // instance count); it may stop early, leaving the thread unstarted.
    void construct_after_count(HWND desktop, HDC desktop_context);
    void close_events();
    // Posts CMD_EXIT and closes the events.
    void end_render_thread();

    bool render_thread_started_ = false;
};

// ---- module-wide state -----------------------------------------------------------------

extern std::atomic<int32_t> OGL_Instance_Count;
extern std::atomic<int32_t> OGL_First_Construction;
extern CRITICAL_SECTION OGL_Batch_Lock;
extern bool OGL_Batch_Lock_Initialized;
extern CRITICAL_SECTION* OGL_Pixel_Lock;

// The changes to the state above, each made whole under the module's lock:
// constructions and destructions may run on several host threads at once.
// Counts a construction that reached its render thread's preparations.
void OGL_Count_Construction();
// Initialises OGL_Pixel_Lock on the first completed construction, then
// clears OGL_First_Construction.
void OGL_End_First_Construction();
// OGL_Batch_Lock, initialised when no live object has done so yet.
CRITICAL_SECTION* OGL_Share_Batch_Lock();
// The render thread's part of CMD_EXIT: one object fewer, and the batch lock
// goes with the last one.
void OGL_Count_Exit();

// Diagnostic switches: all off; nothing changes them at run time.
extern const int32_t DEBUG_UNBATCHED_VERTICES;
extern const int32_t DEBUG_UNBATCHED_COLORED_VERTICES;
extern const int32_t DEBUG_SHOW_EACH_BATCH;
extern const int32_t DEBUG_SHOW_EACH_COMMAND;

// The thread procedure of every render thread; its argument is the object.
DWORD WINAPI render_thread_proc(LPVOID object);

extern "C" __attribute__((visibility("default"))) HT_Device_Data* HD_Device();
