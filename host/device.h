// The host's renderer classes that a display driver derives from: the
// renderer, the physical renderer and the device, with their virtual
// operations in slot order, the option tables, the renderer options, the
// device options and the 28-entry draw-action table.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/image.h"
#include "host/options.h"
#include "host/rendition.h"
#include "host/types.h"

class HT_Renderer_Data;

// Storage for host objects: null on allocation failure, never throws.
class HT_Object {
public:
    static void* operator new(size_t size) noexcept;
    static void operator delete(void* storage) noexcept;
};

class HT_Renderer_Options {
public:
    void set_window_size(const HT_Int_XY& size) { window_size_ = size; }
    HT_Int_XY window_size() const { return window_size_; }
    void set_window_origin(const HT_Int_XY& origin) { window_origin_ = origin; }
    HT_Int_XY window_origin() const { return window_origin_; }
    void set_buffer_depth(int32_t depth) { buffer_depth_ = depth; }
    int32_t buffer_depth() const { return buffer_depth_; }
    void set_color_system(HT_Color_System system) { color_system_ = system; }
    HT_Color_System color_system() const { return color_system_; }
    void set_pixel_aspect(float aspect) { pixel_aspect_ = aspect; }
    float pixel_aspect() const { return pixel_aspect_; }
    void set_clipping_fudge(const HT_Float_Rectangle& fudge) { clipping_fudge_ = fudge; }
    HT_Float_Rectangle clipping_fudge() const { return clipping_fudge_; }

private:
    HT_Int_XY window_size_ = {0, 0};
    HT_Int_XY window_origin_ = {0, 0};
    int32_t buffer_depth_ = 0;
    HT_Color_System color_system_ = HT_COLOR_SYSTEM_RGB;
    float pixel_aspect_ = 1.0f;
    HT_Float_Rectangle clipping_fudge_ = {0, 0, 0, 0};
};

class HT_Device_Options {
public:
    // The window's device context, as the host passes it (an HDC).
    long context_id() const { return context_id_; }
    void set_context_id(long id) { context_id_ = id; }
    // How many points the host hands over in one polyline or polytriangle.
    int32_t polyline_point_limit = 0;
    int32_t polytriangle_point_limit = 0;

private:
    long context_id_ = 0;
};

// ---- draw actions -------------------------------------------------------------
// Every action takes the renderer object first and the rendition second.

typedef void (*HT_Polyline_Action)(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                                   int count, const HT_Point3D* points);
typedef void (*HT_Colorized_Polyline_Action)(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                                             int count, const HT_Point3D* points,
                                             const HT_RGB32* colors, char one_color);
typedef void (*HT_Gouraud_Polyline_Action)(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                                           int count, const HT_Point3D* points, const HT_RGB32* colors);
typedef HT_Polyline_Action HT_Polytriangle_Action;
typedef HT_Colorized_Polyline_Action HT_Colorized_Polytriangle_Action;
typedef HT_Gouraud_Polyline_Action HT_Gouraud_Polytriangle_Action;
typedef void (*HT_Textured_Polytriangle_Action)(HT_Renderer_Data* renderer,
                                                const HT_Rendition* rendition, int count,
                                                const HT_Point3D* points, const HT_RGB32* colors,
                                                const HT_Parameter* parameters,
                                                const float* vertex_values);
typedef void (*HT_Rectangle_Action)(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                                    int left, int right, int bottom, int top);
typedef void (*HT_Dot_Action)(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                              const HT_Point3D* point);
typedef void (*HT_Colorized_Dot_Action)(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                                        const HT_Point3D* point, const HT_RGB32* color);
typedef void (*HT_Image_Action)(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                                const HT_Point3D* start, const HT_Point3D* end, int row_step,
                                const void* pixels);
typedef void (*HT_Write_Depth_Action)(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                                      const HT_Point3D* start, const HT_Point3D* end, int row_step,
                                      const uint16_t* values);
typedef void (*HT_Read_Action)(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                               const HT_Point3D* start, const HT_Point3D* end,
                               HT_Shared_Image& result);
typedef void (*HT_Empty_Action)(HT_Renderer_Data* renderer, const HT_Rendition* rendition);
// Actions of the host's that this interface does not describe.
typedef void (*HT_Other_Action)(HT_Renderer_Data* renderer, const HT_Rendition* rendition);

template <class Function>
struct HT_Action {
    HT_Renderer_Data* object = nullptr;
    Function function = nullptr;
};

// 28 consecutive {object, function} entries; the comments give each position.
struct HT_Action_Table {
    HT_Action<HT_Polyline_Action> draw_dc_polyline;                            // 1
    HT_Action<HT_Colorized_Polyline_Action> draw_dc_colorized_polyline;        // 2
    HT_Action<HT_Gouraud_Polyline_Action> draw_dc_gouraud_polyline;            // 3
    HT_Action<HT_Polytriangle_Action> draw_dc_polytriangle;                    // 4
    HT_Action<HT_Colorized_Polytriangle_Action> draw_dc_colorized_polytriangle;  // 5
    HT_Action<HT_Gouraud_Polytriangle_Action> draw_dc_gouraud_polytriangle;    // 6
    HT_Action<HT_Textured_Polytriangle_Action> draw_dc_textured_polytriangle;  // 7
    HT_Action<HT_Other_Action> host_actions_8_to_15[8];                        // 8 to 15
    HT_Action<HT_Rectangle_Action> draw_dc_rectangle;                          // 16
    HT_Action<HT_Rectangle_Action> prepare_dc_rectangle;                       // 17
    HT_Action<HT_Dot_Action> draw_dc_dot;                                      // 18
    HT_Action<HT_Colorized_Dot_Action> draw_dc_colorized_dot;                  // 19
    HT_Action<HT_Other_Action> host_actions_20_to_22[3];                       // 20 to 22
    HT_Action<HT_Image_Action> draw_dc_image;                                  // 23
    HT_Action<HT_Write_Depth_Action> write_dc_depth;                           // 24
    HT_Action<HT_Other_Action> host_action_25;                                 // 25
    HT_Action<HT_Read_Action> read_dc_color;                                   // 26
    HT_Action<HT_Read_Action> read_dc_depth;                                   // 27
    HT_Action<HT_Empty_Action> finish_dc_drawing;                              // 28
};

static_assert(sizeof(HT_Action_Table) == 28 * sizeof(HT_Action<HT_Other_Action>),
              "the action table has 28 entries");

// ---- renderer classes ------------------------------------------------------------

class HT_Renderer_Data : public HT_Object {
public:
    HT_Renderer_Data();
    // Slot 0. `delete renderer` destroys the object and releases its storage.
    virtual ~HT_Renderer_Data();
    virtual int query_reserved();                                               // 1
    // Dash lengths positive, at most 16 of them.
    virtual bool validate_line_pattern_lengths(const HT_Line_Rendition& line);  // 2
    // A user face pattern of 32 rows with at least one bit set.
    virtual bool validate_face_pattern_bits(const HT_Face_Rendition& face);     // 3
    virtual HT_Renderer_Options& options_record();                              // 4
    virtual HT_Renderer_Options& renderer_options_record();                     // 5
    virtual void optimize_current_options();                                    // 6
    virtual void optimize_current_renderer_options();                           // 7
    virtual HT_Option_Table& device_option_table();                             // 8
    virtual int start_device();                                                 // 9
    virtual void reserved_slot_10();                                            // 10
    virtual void show_frame(int flags);                                         // 11
    virtual void reserved_slot_12();                                            // 12
    virtual int query_user_configuration();                                     // 13
    virtual void reserved_slot_14();                                            // 14

    // The host's current renderer options (window size, buffer depth): what
    // the host asks the device for.
    HT_Renderer_Options current_options;
    // What slot 8 returns for a renderer that is not a physical one.
    HT_Option_Table renderer_option_table;
};

class HT_Physical_Renderer_Data : public HT_Renderer_Data {
public:
    HT_Physical_Renderer_Data();
    ~HT_Physical_Renderer_Data() override;
    void optimize_current_options() override;
    HT_Option_Table& device_option_table() override;

    HT_Option_Table physical_option_table;
};

class HT_Device_Data : public HT_Physical_Renderer_Data {
public:
    HT_Device_Data();
    ~HT_Device_Data() override;

    HT_Action_Table actions;
    HT_Option_Definition_Table option_definitions;
    // The first table is the one that lookups by name search; the host
    // defines "Buffer Depth" in it.
    HT_Option_Table option_tables[2];
    // What the device reports about the screen it renders to.
    HT_Renderer_Options reported_options;
    HT_Device_Options device_options;
    // The 73 face patterns, 8 rows of 8 bits each, row 0 first.
    const uint8_t* face_patterns[HT_FACE_PATTERN_COUNT];
};

// Puts a function in an entry of the device's action table, with the device
// as the entry's object.
template <class Function>
void HT_Install_Action(HT_Device_Data* device, HT_Action<Function>& entry,
                       decltype(HT_Action<Function>::function) function) {
    entry.object = device;
    entry.function = function;
}

// A device's actions called through its own table (what the host's standard
// routines use to hand pieces back to the device).
HT_Device_Data* HT_Device_Of(HT_Renderer_Data* renderer);
