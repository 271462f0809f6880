// A renderer object that draws frames it can check: on a 64 x 64 window,
// same-key polylines, polylines changing colour, a Gouraud strip, a
// rectangle, an image and a textured strip, each in colours of its own that
// depend on the object's index and the frame's number; then a colour and a
// depth read and a present. The check compares what was read back, pixel
// for pixel at chosen points, with what the frame drew, so that another
// object's state or pixels in this frame, or a lost piece, show.
#pragma once

#include <string>
#include <vector>

#include "host/rendition.h"
#include "tests/support/device_fixture.h"

namespace test_support {

class Checked_Frames {
public:
    explicit Checked_Frames(int index);

    // Loads the module, makes the object and its window and starts it
    // (reads hand back pixels, not board-kept copies). False, with the
    // reason in *error, when it cannot.
    bool start(std::string* error);
    // start_device once more.
    void restart();
    void stop();
    Running_Device& driver() { return driver_; }

    // Draws frame `frame`, reads it back and presents it; what the check
    // found wrong, when `check` is set (empty when all held).
    std::vector<std::string> draw(int frame, bool check);

private:
    void draw_lines(int frame);
    void draw_strip(int frame);
    void draw_image(int frame);
    void draw_textured_strip();
    std::vector<std::string> check_frame(int frame, const HT_Shared_Image& colors,
                                         const HT_Shared_Image& depths) const;

    int index_;
    Running_Device driver_;
    HT_Rendition textured_;
};

}  // namespace test_support
