// Snapshots and expectations: pixels of the window, values of the last
// reads, their shape, and the message boxes shown so far. A pixel that
// fails leaves the picture it was checked in and a difference picture that
// marks it under the output folder.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/snapshot_png.h"
#include "tools/check_pictures.h"
#include "host/png_io.h"
#include "tools/trace_handlers.h"

namespace {

std::string color_text(HT_RGB32 color, bool with_alpha) {
    char text[16];
    if (with_alpha)
        std::snprintf(text, sizeof text, "#%02x%02x%02x%02x", HT_Red(color), HT_Green(color), HT_Blue(color),
                      HT_Alpha(color));
    else
        std::snprintf(text, sizeof text, "#%02x%02x%02x", HT_Red(color), HT_Green(color), HT_Blue(color));
    return text;
}

std::string at_text(int x, int y) { return "(" + std::to_string(x) + "," + std::to_string(y) + ")"; }

std::string within_text(int tolerance) {
    return tolerance == 0 ? std::string() : " within " + std::to_string(tolerance);
}

bool channels_within(HT_RGB32 a, HT_RGB32 b, int tolerance, bool with_alpha) {
    for (int shift = 0; shift < (with_alpha ? 32 : 24); shift += 8)
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
    return true;
}

// The byte of `image` that holds device pixel (x, y), or null with a failure
// when the pixel lies outside the image.
const uint8_t* image_pixel(const HT_Shared_Image& image, int x, int y, int bytes_per_pixel, const char* what,
                           Failure* failure) {
    const HT_Point3D& origin = image->origin();
    bool placed = std::isfinite(origin.x) && std::isfinite(origin.y) && std::fabs(origin.x) < 2147483648.0f &&
                  std::fabs(origin.y) < 2147483648.0f;
    int64_t column = placed ? int64_t(x) - int64_t(origin.x) : -1;
    int64_t row = placed ? int64_t(origin.y) - int64_t(y) : -1;
    if (column < 0 || column >= image->width() || row < 0 || row >= image->height() || image->pixels() == nullptr) {
        *failure = expected(at_text(x, y) + " inside the " + what,
                            "an image of " + std::to_string(image->width()) + "x" + std::to_string(image->height()) +
                                (placed ? " from " + at_text(int(origin.x), int(origin.y)) : std::string()));
        return nullptr;
    }
    return image->pixels() + row * image->row_bytes() + column * bytes_per_pixel;
}

// Writes the picture that an expectation checked, and the difference picture
// marking the failing pixel at (column, row), top row 0; returns where, to
// follow the failure's message.
std::string write_failure_pictures(const Replay_State& state, const Rgba_Image& picture, int column, int row) {
    std::string error;
    std::string checked = state.output_path(state.failure_picture_name + ".png", &error);
    std::string difference =
        checked.empty() ? std::string() : state.output_path(state.failure_picture_name + ".difference.png", &error);
    if (difference.empty() || !write_png(checked, picture, &error) ||
        !write_png(difference, difference_picture(picture, column, row), &error))
        return " (no pictures written: " + error + ")";
    return "; checked picture " + checked + ", difference picture " + difference;
}

// The same for a pixel of a read image.
std::string write_failure_pictures(const Replay_State& state, const HT_Shared_Image& image, const uint8_t* pixel,
                                   int bytes_per_pixel) {
    const size_t offset = size_t(pixel - image->pixels());
    const size_t row_bytes = image->row_bytes() > 0 ? size_t(image->row_bytes()) : offset + 1;
    const int row = int(offset / row_bytes);
    const int column = int(offset % row_bytes) / bytes_per_pixel;
    return write_failure_pictures(state, host_image_picture(*image.get()), column, row);
}

std::string box_text(const winx::Message_Box& box) { return "\"" + box.caption + "\" \"" + box.text + "\""; }

}  // namespace

Failure run_statement(Replay_State& state, const Snapshot_Statement& statement) {
    if (state.window == nullptr) return expected("a window to capture", "none");
    winx::Window_Snapshot snapshot;
    if (!winx::capture_window(state.window, &snapshot)) return expected("a capture of the window", "none");
    state.snapshot = snapshot;
    if (!statement.file) return std::nullopt;
    std::string error;
    std::string path = state.output_path(*statement.file, &error);
    if (path.empty()) return expected("a folder for " + *statement.file, error);
    if (!write_png(path, rgba_of(snapshot), &error)) return expected(*statement.file + " written", error);
    return std::nullopt;
}

Failure run_statement(Replay_State& state, const Expect_Pixel_Statement& statement) {
    if (!state.snapshot) return expected("a snapshot before it", "none");
    const winx::Window_Snapshot& snapshot = *state.snapshot;
    if (statement.x < 0 || statement.y < 0 || statement.x >= snapshot.width || statement.y >= snapshot.height)
        return expected(at_text(statement.x, statement.y) + " inside the snapshot",
                        "a snapshot of " + std::to_string(snapshot.width) + "x" + std::to_string(snapshot.height));
    HT_RGB32 got = snapshot.at(statement.x, statement.y);
    if (channels_within(got, statement.color, statement.tolerance, false)) return std::nullopt;
    return expected(color_text(statement.color, false) + within_text(statement.tolerance) + " at " +
                        at_text(statement.x, statement.y),
                    color_text(got, false)).value() +
           write_failure_pictures(state, rgba_of(snapshot), statement.x, snapshot.height - 1 - statement.y);
}

Failure run_statement(Replay_State& state, const Expect_Read_Statement& statement) {
    if (state.last_color.is_null()) return expected("a read_color before it", "none");
    if (state.last_color->format() != HT_IMAGE_FORMAT_RGB32)
        return expected("a colour read of format 3", "format " + std::to_string(state.last_color->format()));
    Failure failure;
    const uint8_t* byte = image_pixel(state.last_color, statement.x, statement.y, 4, "last colour read", &failure);
    if (byte == nullptr) return failure;
    HT_RGB32 got;
    std::memcpy(&got, byte, 4);
    if (channels_within(got, statement.color, statement.tolerance, true)) return std::nullopt;
    return expected(color_text(statement.color, true) + within_text(statement.tolerance) + " at " +
                        at_text(statement.x, statement.y),
                    color_text(got, true)).value() +
           write_failure_pictures(state, state.last_color, byte, 4);
}

Failure run_statement(Replay_State& state, const Expect_Depth_Statement& statement) {
    if (state.last_depth.is_null()) return expected("a read_depth before it", "none");
    if (state.last_depth->format() != HT_IMAGE_FORMAT_DEPTH16)
        return expected("a depth read of format 4", "format " + std::to_string(state.last_depth->format()));
    Failure failure;
    const uint8_t* byte = image_pixel(state.last_depth, statement.x, statement.y, 2, "last depth read", &failure);
    if (byte == nullptr) return failure;
    uint16_t got;
    std::memcpy(&got, byte, 2);
    if (std::abs(int(got) - statement.value) <= statement.tolerance) return std::nullopt;
    return expected("depth " + std::to_string(statement.value) + within_text(statement.tolerance) + " at " +
                        at_text(statement.x, statement.y),
                    std::to_string(got)).value() +
           write_failure_pictures(state, state.last_depth, byte, 2);
}

Failure run_statement(Replay_State& state, const Expect_Image_Statement& statement) {
    const HT_Shared_Image& image = state.depth_read_last ? state.last_depth : state.last_color;
    if (image.is_null()) return expected("a read before it", "none");
    auto shape = [](int width, int height, int format, int row_bytes) {
        return std::to_string(width) + "x" + std::to_string(height) + " format " + std::to_string(format) +
               " row_bytes " + std::to_string(row_bytes);
    };
    std::string want = shape(statement.width, statement.height, statement.format, statement.row_bytes);
    std::string got = shape(image->width(), image->height(), int(image->format()), image->row_bytes());
    if (want == got) return std::nullopt;
    return expected(want, got);
}

Failure run_statement(Replay_State& state, const Expect_Message_Statement& statement) {
    std::vector<winx::Message_Box> boxes = state.messages.boxes();
    winx::Message_Box wanted{statement.caption, statement.text};
    if (state.matched_messages >= boxes.size()) return expected("message box " + box_text(wanted), "none");
    const winx::Message_Box& got = boxes[state.matched_messages++];
    if (got.caption == wanted.caption && got.text == wanted.text) return std::nullopt;
    return expected("message box " + box_text(wanted), box_text(got));
}

Failure run_statement(Replay_State& state, const Expect_No_Message_Statement&) {
    std::vector<winx::Message_Box> boxes = state.messages.boxes();
    if (state.matched_messages >= boxes.size()) return std::nullopt;
    std::string got = box_text(boxes[state.matched_messages]);
    size_t more = boxes.size() - state.matched_messages - 1;
    state.matched_messages = boxes.size();
    return expected("no message box", got + (more > 0 ? " and " + std::to_string(more) + " more" : std::string()));
}
