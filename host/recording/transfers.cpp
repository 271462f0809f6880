// Images and depth values out of the host's memory into files next to the
// trace, laid out as the driver sees them.
#include "host/recording/transfers.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "host/recording/host_memory.h"
#include "host/recording/number_text.h"

namespace {

// The largest transfer the recorder writes out as a file.
constexpr int64_t MAX_RECORDED_PIXELS = int64_t(16) << 20;

void append_corners(std::string& text, const HT_Point3D& start, const HT_Point3D& end) {
    text += ' ';
    append_point(text, start);
    text += ' ';
    append_point(text, end);
}

void copy_row(void* target, const uint8_t* source, size_t size, bool board_may_answer) {
    if (board_may_answer) copy_host_memory_safely(target, source, size);
    else std::memcpy(target, source, size);
}

// The host handed back an unedited last read, as the replay would.
bool is_unedited(const Last_Read& last, const Transfer_Reach& reach, const void* pixels, int64_t row_step) {
    if (last.image.is_null() || last.image->pixels() == nullptr || pixels != last.image->pixels() ||
        row_step != last.image->row_bytes())
        return false;
    if (reach.width != last.image->width() || reach.height != last.image->height()) return false;
    return last.copy.size() == size_t(last.image->height()) * size_t(last.image->row_bytes()) &&
           std::memcmp(last.copy.data(), last.image->pixels(), last.copy.size()) == 0;
}

std::string restore_statement(const char* name, const HT_Point3D& start, const HT_Point3D& end) {
    std::string text = name;
    append_corners(text, start, end);
    return text;
}

// A one-row image may also be drawn as points, one for each pixel k of the
// row whose point start.x + k falls inside the window: the columns [first,
// stop) as the driver counts them.
void one_row_point_columns(const HT_Point3D& start, const HT_Point3D& end, const Transfer_Reach& reach,
                           HT_Int_XY viewport, int32_t* first, int32_t* stop) {
    *first = *stop = 0;
    const float n = end.x - start.x + 1.0f;
    if (!(n > 1.0f) || !std::isfinite(n)) return;
    const double count = std::min(std::ceil(double(n)), double(reach.width));
    const double from = std::max(0.0, std::ceil(-double(start.x)));
    const double to = std::min(count, std::ceil(double(viewport.x) - double(start.x)));
    if (!(from < to)) return;
    *first = int32_t(from);
    *stop = int32_t(to);
}

// The host's pixels as the driver reads them, top row first, width x
// height, zero outside the window. The first pixel is always read; with a
// row step of 0 every row is the one row the driver reads.
std::vector<uint8_t> image_as_read(const HT_Point3D& start, const HT_Point3D& end, const Transfer_Reach& reach,
                                   HT_Int_XY viewport, int row_step, const uint8_t* pixels, bool board_may_answer) {
    const size_t row_size = size_t(reach.width) * 4;
    std::vector<uint8_t> image(row_size * size_t(reach.height), 0);
    std::memcpy(image.data(), pixels, 4);
    if (reach.height == 1 && reach.visible()) {
        int32_t first = 0, stop = 0;
        one_row_point_columns(start, end, reach, viewport, &first, &stop);
        // Only when the device has a depth buffer: the copy cannot fault.
        if (first < stop)
            copy_row(&image[size_t(first) * 4], pixels + int64_t(first) * 4, size_t(stop - first) * 4, true);
    }
    for (int32_t row = reach.visible_row; row < reach.visible_row + reach.visible_height; ++row)
        copy_row(&image[size_t(row) * row_size + size_t(reach.visible_column) * 4],
                 pixels + int64_t(row) * row_step + int64_t(reach.visible_column) * 4,
                 size_t(reach.visible_width) * 4, board_may_answer);
    if (row_step == 0) {
        const size_t source_row = reach.visible() ? size_t(reach.visible_row) : 0;
        if (source_row != 0) std::memcpy(image.data() + 4, &image[source_row * row_size + 4], row_size - 4);
        for (int32_t row = 1; row < reach.height; ++row)
            std::memcpy(&image[size_t(row) * row_size], image.data(), row_size);
    }
    return image;
}

}  // namespace

void write_image_statement(Recording_Session& session, const Recorded_Device& device, const HT_Point3D* start,
                           const HT_Point3D* end, int row_step, const void* pixels) {
    if (start == nullptr || end == nullptr) return session.write("# image without corners");
    const Transfer_Reach reach = transfer_reach(*start, *end, device.viewport);
    // The driver draws nothing of these, and reads nothing.
    if (reach.empty() || pixels == nullptr) return session.write("# image of no pixels");
    if (is_unedited(session.last_color, reach, pixels, row_step))
        return session.write(restore_statement("redraw", *start, *end));
    if (int64_t(reach.width) * reach.height > MAX_RECORDED_PIXELS)
        return session.write("# image of more pixels than the trace holds");
    const uint8_t* bytes = static_cast<const uint8_t*>(pixels);
    const bool board_may_answer = bytes[3] != 255;
    const std::vector<uint8_t> host =
        image_as_read(*start, *end, reach, device.viewport, row_step, bytes, board_may_answer);
    Rgba_Image rgba;
    rgba.width = reach.width;
    rgba.height = reach.height;
    rgba.bytes.resize(host.size());
    host_to_rgba(host.data(), rgba.bytes.data(), host.size() / 4);
    const std::string file = session.files().colour_file(rgba);
    if (file.empty()) return session.write("# image whose pixels could not be written");
    std::string& text = session.line();
    text = "image";
    append_corners(text, *start, *end);
    text += ' ' + file;
    // Overlapping rows are written apart: the driver draws the same pixels.
    const int64_t step = std::llabs(int64_t(row_step));
    if (row_step == 0 || step >= int64_t(reach.width) * 4) {
        text += " row_step=";
        append_integer(text, step);
        if (row_step < 0) text += " bottom_up";
    }
    session.write(text);
}

void write_depth_statement(Recording_Session& session, const Recorded_Device& device, const HT_Point3D* start,
                           const HT_Point3D* end, int row_step, const uint16_t* values) {
    if (start == nullptr || end == nullptr) return session.write("# write_depth without corners");
    const Transfer_Reach reach = transfer_reach(*start, *end, device.viewport);
    if (reach.empty() || values == nullptr) return session.write("# write_depth of no values");
    // The device reads rows width x 2 bytes apart when the step is 0 or less.
    const int64_t step = row_step > 0 ? row_step : int64_t(reach.width) * 2;
    if (is_unedited(session.last_depth, reach, values, step))
        return session.write(restore_statement("restore_depth", *start, *end));
    if (int64_t(reach.width) * reach.height > MAX_RECORDED_PIXELS)
        return session.write("# write_depth of more values than the trace holds");
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(values);
    std::vector<uint16_t> read(size_t(reach.width) * size_t(reach.height), 0);
    for (int32_t row = reach.visible_row; row < reach.visible_row + reach.visible_height; ++row)
        copy_row(&read[size_t(row) * size_t(reach.width) + size_t(reach.visible_column)],
                 bytes + int64_t(row) * step + int64_t(reach.visible_column) * 2, size_t(reach.visible_width) * 2,
                 device.fast_readback);
    // One value everywhere the driver reads is written as that value.
    const uint16_t first = reach.visible() ? read[size_t(reach.visible_row) * size_t(reach.width) +
                                                  size_t(reach.visible_column)]
                                           : 0;
    bool uniform = true;
    for (int32_t row = reach.visible_row; row < reach.visible_row + reach.visible_height && uniform; ++row)
        for (int32_t column = reach.visible_column; column < reach.visible_column + reach.visible_width; ++column)
            if (read[size_t(row) * size_t(reach.width) + size_t(column)] != first) {
                uniform = false;
                break;
            }
    const std::string source =
        uniform ? std::to_string(first) : session.files().depth_file(reach.width, reach.height, read);
    if (source.empty()) return session.write("# write_depth whose values could not be written");
    std::string& text = session.line();
    text = "write_depth";
    append_corners(text, *start, *end);
    text += ' ' + source;
    // Overlapping rows are written apart, as with images.
    if (row_step < 0 || row_step >= int64_t(reach.width) * 2) {
        text += " row_step=";
        append_integer(text, row_step);
    }
    session.write(text);
}

uint64_t write_read_statement(Recording_Session& session, bool depth, const HT_Point3D* start,
                              const HT_Point3D* end) {
    if (start == nullptr || end == nullptr) {
        session.write(depth ? "# read_depth without corners" : "# read_color without corners");
        return 0;
    }
    std::string& text = session.line();
    text = depth ? "read_depth" : "read_color";
    append_corners(text, *start, *end);
    session.write(text);
    Last_Read& last = depth ? session.last_depth : session.last_color;
    last = Last_Read{};
    last.sequence = ++session.read_sequence;
    return last.sequence;
}

void note_read(Recording_Session& session, bool depth, uint64_t sequence, const HT_Shared_Image& result) {
    Last_Read& last = depth ? session.last_depth : session.last_color;
    if (sequence == 0 || last.sequence != sequence || result.is_null() || result->pixels() == nullptr) return;
    last.image = result;
    const uint8_t* pixels = result->pixels();
    last.copy.assign(pixels, pixels + size_t(result->height()) * size_t(result->row_bytes()));
}
