// Pixel transfers: images, depth writes, colour and depth reads, and the
// host's restore steps that hand the last reads back to the device.
//
// The host lays its buffers out so that every row the device will read, as
// the corners and the row step describe them, lies inside the buffer.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "tools/check_pictures.h"
#include "tools/image_source.h"
#include "host/png_io.h"
#include "tools/trace_handlers.h"

namespace {

// The most bytes the host lays out for one transfer.
constexpr int64_t MAX_TRANSFER_BYTES = int64_t(256) << 20;

// The rectangle that the device derives from two corners, truncating toward
// zero. Corners that are not finite or lie beyond 32 bits give no usable
// rectangle, nor do widths or heights below 1.
struct Device_Span {
    bool usable = false;
    int64_t width = 0;
    int64_t height = 0;
};

bool fits_int32(float value) { return std::isfinite(value) && std::fabs(value) < 2147483648.0f; }

Device_Span span_of(const Corner_Pair& corners) {
    Device_Span span;
    if (!fits_int32(corners.start.x) || !fits_int32(corners.start.y) || !fits_int32(corners.end.x) ||
        !fits_int32(corners.end.y))
        return span;
    span.width = int64_t(corners.end.x) - int64_t(corners.start.x) + 1;
    span.height = int64_t(corners.start.y) - int64_t(corners.end.y) + 1;
    span.usable = span.width >= 1 && span.height >= 1;
    return span;
}

std::string size_text(int64_t width, int64_t height) { return std::to_string(width) + "x" + std::to_string(height); }

// Rows of `row_length` bytes laid out `step` bytes apart (the next row is the
// one below; a negative step puts it lower in memory). `start` is the first
// byte of the top row.
struct Row_Layout {
    std::vector<uint8_t> bytes;
    size_t start = 0;
};

Failure lay_out_rows(int64_t rows, int64_t row_length, int64_t step, Row_Layout* layout) {
    int64_t reach = (rows - 1) * std::llabs(step);
    if (rows < 1 || row_length < 1 || reach + row_length > MAX_TRANSFER_BYTES)
        return expected("rows the host can lay out (at most " + std::to_string(MAX_TRANSFER_BYTES) + " bytes)",
                        std::to_string(rows) + " rows of " + std::to_string(row_length) + " bytes, " +
                            std::to_string(step) + " apart");
    layout->bytes.assign(size_t(reach + row_length), 0);
    layout->start = step < 0 ? size_t(reach) : 0;
    return std::nullopt;
}

uint8_t* row_at(Row_Layout& layout, int64_t row, int64_t step) {
    return layout.bytes.data() + int64_t(layout.start) + row * step;
}

Failure draw_image(Replay_State& state, const Corner_Pair& corners, int32_t row_step, const void* pixels) {
    Failure failure;
    HT_Device_Data* device = need_current_device(state, &failure);
    if (device == nullptr) return failure;
    return call_action(device->actions.draw_dc_image, "draw_dc_image",
                       static_cast<const HT_Rendition*>(&state.rendition), &corners.start, &corners.end, row_step,
                       pixels);
}

Failure write_depth(Replay_State& state, const Corner_Pair& corners, int32_t row_step, const uint16_t* values) {
    Failure failure;
    HT_Device_Data* device = need_current_device(state, &failure);
    if (device == nullptr) return failure;
    return call_action(device->actions.write_dc_depth, "write_dc_depth",
                       static_cast<const HT_Rendition*>(&state.rendition), &corners.start, &corners.end, row_step,
                       values);
}

// What a degenerate transfer hands over: one opaque pixel, or one depth value.
const HT_RGB32 LONE_PIXEL = HT_Make_RGB32(0, 0, 0);
const uint16_t LONE_DEPTH = 0;

Failure save_read(Replay_State& state, const HT_Shared_Image& image, const std::string& file) {
    if (image->width() < 1 || image->height() < 1 || image->pixels() == nullptr)
        return expected("pixels to save in " + file, "an image of " + size_text(image->width(), image->height()));
    std::string error;
    std::string path = state.output_path(file, &error);
    if (path.empty()) return expected("a folder for " + file, error);
    if (image->format() == HT_IMAGE_FORMAT_DEPTH16) {
        if (!write_pgm16(path, image->width(), image->height(), image->pixels(), image->row_bytes(), &error))
            return expected(file + " written", error);
        return std::nullopt;
    }
    if (!write_png(path, host_image_picture(*image.get()), &error)) return expected(file + " written", error);
    return std::nullopt;
}

}  // namespace

Failure run_statement(Replay_State& state, const Image_Statement& statement) {
    Host_Pixels source;
    std::string error;
    if (!load_image_source(statement.source, state.trace_directory(), &source, &error))
        return expected("an image", error);
    Device_Span span = span_of(statement.corners);
    if (span.usable && (span.width != source.width || span.height != source.height))
        return expected("corners spanning the image's " + size_text(source.width, source.height) + " pixels",
                        size_text(span.width, span.height));
    if (source.pixels.empty()) return draw_image(state, statement.corners, 0, &LONE_PIXEL);
    int64_t row_length = int64_t(source.width) * 4;
    int64_t step = statement.row_step.value_or(int32_t(row_length));
    if (statement.bottom_up) step = -std::llabs(step);
    Row_Layout layout;
    if (Failure failure = lay_out_rows(source.height, row_length, step, &layout)) return failure;
    for (int y = 0; y < source.height; ++y)
        std::memcpy(row_at(layout, y, step), &source.pixels[size_t(y) * size_t(source.width)], size_t(row_length));
    return draw_image(state, statement.corners, int32_t(step), row_at(layout, 0, step));
}

Failure run_statement(Replay_State& state, const Write_Depth_Statement& statement) {
    Device_Span span = span_of(statement.corners);
    if (!span.usable) return write_depth(state, statement.corners, statement.row_step.value_or(0), &LONE_DEPTH);
    int64_t row_length = span.width * 2;
    // The device reads rows width × 2 bytes apart when the step is 0 or negative.
    int64_t step = statement.row_step.value_or(0);
    int64_t layout_step = step > 0 ? step : row_length;
    Row_Layout layout;
    if (Failure failure = lay_out_rows(span.height, row_length, layout_step, &layout)) return failure;
    // One value everywhere, or the file's rows.
    std::vector<uint16_t> values(size_t(span.width), statement.value);
    int64_t file_step = 0;
    if (statement.values_file) {
        int width = 0, height = 0;
        std::string error;
        std::string path = *statement.values_file;
        if (path[0] != '/') path = state.trace_directory() + "/" + path;
        if (!read_pgm16(path, &width, &height, &values, &error))
            return expected("depth values", error);
        if (width != span.width || height != span.height)
            return expected("corners spanning the file's " + size_text(width, height) + " values",
                            size_text(span.width, span.height));
        file_step = width;
    }
    for (int64_t y = 0; y < span.height; ++y)
        std::memcpy(row_at(layout, y, layout_step), &values[size_t(y * file_step)], size_t(row_length));
    return write_depth(state, statement.corners, int32_t(step),
                       reinterpret_cast<const uint16_t*>(row_at(layout, 0, layout_step)));
}

Failure run_statement(Replay_State& state, const Read_Statement& statement) {
    Failure failure;
    HT_Device_Data* device = need_current_device(state, &failure);
    if (device == nullptr) return failure;
    const char* name = statement.depth ? "read_dc_depth" : "read_dc_color";
    HT_Shared_Image result;
    failure = call_action(statement.depth ? device->actions.read_dc_depth : device->actions.read_dc_color, name,
                          static_cast<const HT_Rendition*>(&state.rendition), &statement.corners.start,
                          &statement.corners.end, std::ref(result));
    if (failure) return failure;
    if (result.is_null()) return expected(std::string("an image from ") + name, "none");
    (statement.depth ? state.last_depth : state.last_color) = result;
    state.depth_read_last = statement.depth;
    if (statement.save) return save_read(state, result, *statement.save);
    return std::nullopt;
}

Failure run_statement(Replay_State& state, const Restore_Statement& statement) {
    const HT_Shared_Image& image = statement.depth ? state.last_depth : state.last_color;
    const char* read = statement.depth ? "read_depth" : "read_color";
    if (image.is_null()) return expected(std::string("a ") + read + " before it", "none");
    Device_Span span = span_of(statement.corners);
    if (span.usable && (span.width != image->width() || span.height != image->height()))
        return expected("corners spanning the last read's " + size_text(image->width(), image->height()) +
                            " pixels",
                        size_text(span.width, span.height));
    const uint8_t* pixels = image->pixels();
    if (statement.depth) {
        const uint16_t* values = pixels != nullptr ? reinterpret_cast<const uint16_t*>(pixels) : &LONE_DEPTH;
        return write_depth(state, statement.corners, image->row_bytes(), values);
    }
    return draw_image(state, statement.corners, image->row_bytes(),
                      pixels != nullptr ? static_cast<const void*>(pixels) : &LONE_PIXEL);
}
