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
#include "platform/gl.h"
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

// Full batches queued ahead of the render thread: the host's thread fills
// one batch while up to this many wait to be drawn or are being drawn.
constexpr int BATCHES_QUEUED_AHEAD = 4;
constexpr int BATCH_RING_SIZE = BATCHES_QUEUED_AHEAD + 1;

// How the primitives of one batch reach OpenGL: one glDrawArrays each (all
// that OpenGL 1.1 has), or one draw call for the whole batch.
enum class Batch_Draw : int32_t { per_primitive, one_call };

// What one draw call for a batch hands OpenGL: where each primitive starts,
// and a strip batch's triangles as a list of vertex indexes. Render thread only.
struct Batch_Draw_Arrays {
    GLint firsts[MAX_BATCH_PRIMITIVES];
    GLsizei sizes[MAX_BATCH_PRIMITIVES];
    GLushort triangle_indexes[3 * MAX_BATCH_VERTICES];
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

    // Command channel: store the code, wake the render thread (which draws
    // every batch queued ahead first), wait until the command is done.
    void post_command(Command_Code code);
    // The first half of post_command: the code stored and the render thread
    // woken, without waiting.
    void send_command(int32_t code) {
        command.command_code = code;
        command_pending.store(true, std::memory_order_release);
        SetEvent(command.command_posted);
    }
    // Host's thread: queues the filling batch for the render thread with the
    // pending key and returns without waiting for it to be drawn; waits only
    // while BATCHES_QUEUED_AHEAD batches are queued already.
    void hand_over_batch();
    // Host's thread: handed-over batches not yet drawn.
    uint32_t batches_in_flight() const {
        return batches_handed.load(std::memory_order_relaxed) - batches_drawn.load(std::memory_order_seq_cst);
    }
    // Host's thread: returns once at most `in_flight` handed-over batches
    // are still to be drawn.
    void await_batches_drawn(uint32_t in_flight) {
        auto waiting = [&] { return batches_in_flight() > in_flight; };
        while (waiting()) {
            // Announced before the last look at the counter: either the
            // render thread sees the announcement and signals, or this look
            // sees its count. A signal left over from an earlier wait only
            // costs a look.
            host_awaits_drawing.store(true, std::memory_order_seq_cst);
            if (waiting()) await_signal(batch_drawn, host_waits);
            host_awaits_drawing.store(false, std::memory_order_relaxed);
        }
    }

    // Options.
    void register_options();
    void report_figures(int screen_width, int screen_height);
    void copy_double_buffering_to_options();
    void install_draw_actions();
    void find_option_value(const HT_String& name, HT_Option_Value* result) const;

    // Start-up board checks; false when the construction must stop.
    bool run_board_checks();
    // Set `synchronous` and `draw_per_primitive` from the environment and the
    // driver's registry key.
    void choose_channel_mode();
    void choose_draw_mode();

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
    // Render thread: the key's state for a batch, every call made, or only
    // the calls that change what the mirrors in current_state hold.
    void apply_every_state(const GL_State_Key& key);
    void apply_changed_state(const GL_State_Key& key, bool per_vertex_colors);
    // Render thread, with the arrays in place: the draw calls themselves.
    void issue_draw_calls(int32_t kind, const int32_t* sizes, int32_t primitive_count);
    // Render thread, for a new context: whether a batch is drawn with one call.
    void choose_batch_draw();
    // Render thread: draws every batch queued ahead, oldest first.
    void draw_queued_batches();

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

    // ---- 10. the primitive batches, a ring: `batch` is the one the host's
    // thread fills, batches[batches_handed % BATCH_RING_SIZE]; the ones
    // handed over before it and not yet drawn wait for the render thread,
    // each with the key it was queued under in batch_keys. The host's thread
    // alone writes batches_handed, the render thread alone batches_drawn.
    Primitive_Batch batches[BATCH_RING_SIZE];
    GL_State_Key batch_keys[BATCH_RING_SIZE];
    Primitive_Batch* batch;
    std::atomic<uint32_t> batches_handed;
    std::atomic<uint32_t> batches_drawn;
    // Set by the host's thread while it waits for a batch to be drawn; the
    // render thread then signals batch_drawn after each batch.
    std::atomic<bool> host_awaits_drawing;
    HANDLE batch_drawn;
    // Set with command_posted when the block holds a command (rather than
    // only batches to draw); the render thread clears it.
    std::atomic<bool> command_pending;
    // True when every flush waits until its batch is drawn (the one-slot
    // channel); false when full batches are queued ahead without waiting.
    bool synchronous;
    // True when every primitive is drawn with a glDrawArrays of its own,
    // whatever the context offers (for diagnosis and for tests that count
    // calls); batch_draw is what the current context does.
    bool draw_per_primitive;
    Batch_Draw batch_draw;
    Batch_Draw_Arrays draw_arrays;
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
