// The scene's parts, back to front. The window is laid out in three columns:
// an image and colour swatches on the left, the torus over a textured floor in
// the middle, line and face patterns on the right.
#include "tools/demo_scene.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

#include "tools/demo_torus.h"

namespace {

constexpr float FAR_Z = float((1 << DEMO_BUFFER_DEPTH) - 1);

// Calls actions with the scene's sticky rendition, skipping empty entries.
class Painter {
public:
    Painter(HT_Device_Data* device, std::set<std::string>* missing) : device_(device), missing_(missing) {}

    template <class Function, class... Arguments>
    void call(HT_Action<Function> HT_Action_Table::*entry, const char* name, Arguments... arguments) {
        const HT_Action<Function>& action = device_->actions.*entry;
        if (action.function == nullptr) {
            missing_->insert(name);
            return;
        }
        action.function(action.object, &rendition, arguments...);
    }

    void polyline(const std::vector<HT_Point3D>& points) {
        call(&HT_Action_Table::draw_dc_polyline, "draw_dc_polyline", int(points.size()), points.data());
    }
    void polytriangle(const std::vector<HT_Point3D>& points) {
        call(&HT_Action_Table::draw_dc_polytriangle, "draw_dc_polytriangle", int(points.size()), points.data());
    }
    void rectangle(int left, int right, int bottom, int top) {
        call(&HT_Action_Table::draw_dc_rectangle, "draw_dc_rectangle", left, right, bottom, top);
    }

    HT_Rendition rendition;

private:
    HT_Device_Data* device_;
    std::set<std::string>* missing_;
};

HT_Shared_Image checker_image(int size, int cell, HT_RGB32 first, HT_RGB32 second) {
    HT_Shared_Image image({0, 0, 0}, size, size, HT_IMAGE_FORMAT_RGB32, size * 4, nullptr, false);
    if (image.is_null() || image->pixels() == nullptr) return image;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            HT_RGB32 pixel = ((x / cell) + (y / cell)) % 2 == 0 ? first : second;
            std::memcpy(image->pixels() + (size_t(y) * size_t(size) + size_t(x)) * 4, &pixel, 4);
        }
    }
    return image;
}

void draw_floor(Painter& painter) {
    HT_Shared_Image image = checker_image(64, 8, HT_Make_RGB32(216, 208, 192), HT_Make_RGB32(106, 90, 72));
    painter.rendition.color.texture.id = 1;
    painter.rendition.color.texture.texture = HT_Texture_Handle(new HT_Texture(HT_WRAP_REPEAT, HT_WRAP_REPEAT, image));
    painter.rendition.color.color = HT_Make_RGB32(255, 255, 255);
    // A trapezoid that narrows toward the back, tiled six by three.
    const HT_Point3D points[4] = {{0, 0, FAR_Z * 0.97f}, {DEMO_WIDTH - 1, 0, FAR_Z * 0.97f},
                                  {120, 150, FAR_Z * 0.99f}, {DEMO_WIDTH - 121, 150, FAR_Z * 0.99f}};
    const HT_RGB32 colors[4] = {HT_Make_RGB32(255, 255, 255), HT_Make_RGB32(255, 255, 255),
                                HT_Make_RGB32(150, 150, 170), HT_Make_RGB32(150, 150, 170)};
    const HT_Parameter parameters[4] = {{0, 0, 0}, {6, 0, 0}, {0, 3, 0}, {6, 3, 0}};
    const float vertex_values[4] = {0, 0, 0, 0};
    painter.call(&HT_Action_Table::draw_dc_textured_polytriangle, "draw_dc_textured_polytriangle", 4, points,
                 colors, parameters, vertex_values);
    painter.rendition.color.texture = HT_Texture_Reference();
}

void draw_torus(Painter& painter) {
    Torus_View view;
    view.center_x = 330;
    view.center_y = 245;
    view.scale = 125;
    view.max_depth = FAR_Z;
    for (const Shaded_Strip& strip : torus_strips(view))
        painter.call(&HT_Action_Table::draw_dc_gouraud_polytriangle, "draw_dc_gouraud_polytriangle",
                     int(strip.points.size()), strip.points.data(), strip.colors.data());
    painter.rendition.color.color = HT_Make_RGB32(40, 30, 24);
    for (const std::vector<HT_Point3D>& ring : torus_edges(view)) painter.polyline(ring);
}

void draw_stars(Painter& painter) {
    uint32_t seed = 12345;
    auto next = [&seed](int range) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 8) % uint32_t(range));
    };
    painter.rendition.color.color = HT_Make_RGB32(255, 255, 255);
    for (int i = 0; i < 70; ++i) {
        HT_Point3D point{float(140 + next(400)), float(395 + next(76)), 0};
        if (i % 3 == 0) {
            painter.call(&HT_Action_Table::draw_dc_dot, "draw_dc_dot", static_cast<const HT_Point3D*>(&point));
        } else {
            HT_RGB32 color = HT_Make_RGB32(uint8_t(120 + next(136)), uint8_t(120 + next(136)), uint8_t(160 + next(96)));
            painter.call(&HT_Action_Table::draw_dc_colorized_dot, "draw_dc_colorized_dot",
                         static_cast<const HT_Point3D*>(&point), static_cast<const HT_RGB32*>(&color));
        }
    }
}

void draw_swatches(Painter& painter) {
    const HT_RGB32 colors[6] = {HT_Make_RGB32(230, 60, 60),  HT_Make_RGB32(240, 160, 40), HT_Make_RGB32(230, 220, 60),
                                HT_Make_RGB32(70, 190, 90),  HT_Make_RGB32(60, 130, 230), HT_Make_RGB32(150, 80, 200)};
    for (int i = 0; i < 6; ++i) {
        painter.rendition.color.color = colors[i];
        int top = 380 - 34 * i;
        painter.rectangle(10, 105, top - 25, top);
    }
}

void draw_image(Painter& painter) {
    const int width = 96, height = 64;
    std::vector<HT_RGB32> pixels(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float ring = std::sin(std::hypot(float(x - 48), float(y - 32)) * 0.45f);
            pixels[size_t(y) * width + size_t(x)] =
                HT_Make_RGB32(uint8_t(x * 255 / width), uint8_t(96 + 80 * ring), uint8_t(255 - y * 255 / height));
        }
    }
    const HT_Point3D start{10, 470, 0}, end{10 + width - 1, 470 - height + 1, 0};
    painter.call(&HT_Action_Table::draw_dc_image, "draw_dc_image", &start, &end, width * 4,
                 static_cast<const void*>(pixels.data()));
}

void draw_line_patterns(Painter& painter) {
    HT_Line_Rendition& line = painter.rendition.line;
    painter.rendition.color.color = HT_Make_RGB32(224, 224, 224);
    for (int pattern = 1; pattern <= 8; ++pattern) {
        line.pattern = pattern;
        float y = float(460 - 16 * (pattern - 1));
        painter.polyline({{570, y, 0}, {750, y, 0}});
    }
    // The host's own dashes (pattern 9) go to the standard routine.
    line.pattern = HT_USER_LINE_PATTERN;
    line.dashes = {14, 4, 3, 4};
    painter.rendition.color.color = HT_Make_RGB32(255, 204, 51);
    painter.polyline({{570, 330, 0}, {750, 330, 0}});
    line.pattern = 0;
    // A wide line OpenGL draws, and a wide round-capped zigzag it cannot.
    line.weight = 5;
    painter.rendition.color.color = HT_Make_RGB32(102, 204, 255);
    painter.polyline({{570, 308, 0}, {750, 308, 0}});
    line.weight = 7;
    line.cap_style = HT_CAP_ROUND;
    line.join_style = HT_JOIN_ROUND;
    painter.rendition.color.color = HT_Make_RGB32(255, 102, 136);
    painter.polyline({{575, 270, 0}, {620, 292, 0}, {665, 270, 0}, {710, 292, 0}, {745, 270, 0}});
    line = HT_Line_Rendition();
}

void draw_face_patterns(Painter& painter) {
    HT_Face_Rendition& face = painter.rendition.face;
    // Pattern 73 is the host's own 32 x 32 bitmap: a diamond.
    for (int row = 0; row < 32; ++row) {
        uint32_t bits = 0;
        for (int column = 0; column < 32; ++column)
            if (std::abs(column - 15) + std::abs(row - 15) < 13) bits |= 0x80000000u >> column;
        face.user_rows[row] = bits;
    }
    const int patterns[4] = {10, 27, 45, HT_USER_FACE_PATTERN};
    const HT_RGB32 colors[4] = {HT_Make_RGB32(120, 220, 160), HT_Make_RGB32(220, 160, 120),
                                HT_Make_RGB32(160, 160, 240), HT_Make_RGB32(250, 120, 200)};
    for (int i = 0; i < 4; ++i) {
        face.pattern = patterns[i];
        painter.rendition.color.color = colors[i];
        float left = float(570 + 46 * i), right = left + 39;
        painter.polytriangle({{left, 190, 0}, {right, 190, 0}, {left, 229, 0}, {right, 229, 0}});
    }
    face.pattern = HT_SOLID_FACE_PATTERN;
}

// What a host does around a transient highlight: read the colour and depth
// under it, draw it, and put both back.
void read_and_restore(Painter& painter) {
    const HT_Point3D start{270, 300, 0}, end{389, 241, 0};
    HT_Shared_Image colors, depths;
    painter.call(&HT_Action_Table::read_dc_color, "read_dc_color", &start, &end, std::ref(colors));
    painter.call(&HT_Action_Table::read_dc_depth, "read_dc_depth", &start, &end, std::ref(depths));
    painter.rendition.color.color = HT_Make_RGB32(255, 255, 0);
    painter.rectangle(270, 389, 241, 300);
    if (!colors.is_null() && colors->pixels() != nullptr)
        painter.call(&HT_Action_Table::draw_dc_image, "draw_dc_image", &start, &end, colors->row_bytes(),
                     static_cast<const void*>(colors->pixels()));
    if (!depths.is_null() && depths->pixels() != nullptr)
        painter.call(&HT_Action_Table::write_dc_depth, "write_dc_depth", &start, &end, depths->row_bytes(),
                     reinterpret_cast<const uint16_t*>(depths->pixels()));
}

}  // namespace

void draw_demo_scene(HT_Device_Data* device, std::set<std::string>* missing) {
    Painter painter(device, missing);
    painter.rendition.color.color = HT_Make_RGB32(28, 32, 40);
    painter.rectangle(0, DEMO_WIDTH - 1, 0, DEMO_HEIGHT - 1);
    draw_floor(painter);
    draw_torus(painter);
    draw_stars(painter);
    draw_swatches(painter);
    draw_image(painter);
    draw_line_patterns(painter);
    draw_face_patterns(painter);
    read_and_restore(painter);
    painter.call(&HT_Action_Table::finish_dc_drawing, "finish_dc_drawing");
}
