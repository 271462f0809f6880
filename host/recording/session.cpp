// Opening a recording and the statements that set the scene: the screen,
// the ground each device is made on, device names and the current device.
#include "host/recording/session.h"

#include "host/recording/number_text.h"
#include "host/recording/world_capture.h"
#include "platform/winx.h"

Recording_Session::Recording_Session(const std::string& path, uint64_t id) : files_(path), id_(id) {
    opened_ = output_.open(path, &error_);
    if (!opened_) return;
    write("# host calls recorded by libvudoz");
    winx::Screen_Info screen;
    if (winx::screen_info(&screen) && (screen.depth == 8 || screen.depth == 16 || screen.depth == 24))
        write("screen " + std::to_string(screen.width) + " " + std::to_string(screen.height) + " " +
              std::to_string(screen.depth));
}

void Recording_Session::use(const Recorded_Device& device) {
    if (current_ == device.name) return;
    write("use " + device.name);
    current_ = device.name;
}

void Recording_Session::write_ground() {
    const std::string board = board_statement();
    if (board != board_written_) write(board_written_ = board);
    const std::vector<std::string> registry = registry_statements();
    if (registry != registry_written_) {
        for (const std::string& statement : registry) write(statement);
        registry_written_ = registry;
    }
}

void Recording_Session::new_device(Recorded_Device& device) {
    write_ground();
    device.session = id_;
    device.name = ++device_count_ == 1 ? "main" : "device" + std::to_string(device_count_);
    write("device " + device.name);
    current_ = device.name;
}

void Recording_Session::no_device() {
    write_ground();
    write("device unused expect=null");
}

void Recording_Session::destroyed(const Recorded_Device& device) {
    write("destroy " + device.name);
    if (current_ == device.name) current_.clear();
    flush();
}
