// The window a user turns, driven as a user would through synthetic input
// (XTest) on an X server of the test's own, so that no other test's window
// covers it: a left drag turns the model, the wheel makes it larger, e
// draws the edges, s writes a screenshot, q ends with status 0 and -o
// written; Ctrl-C ends it the same way; an uncovered window is drawn again.
#include <gtest/gtest.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/process.h"
#include "tests/viewer/test_models.h"

namespace {

constexpr int WIDTH = 200;
constexpr int HEIGHT = 150;
constexpr unsigned long BACKGROUND = 0x283040;
constexpr unsigned long EDGE = 0x101010;

// An Xvfb of the test's own, on the first free display number.
class Own_Display {
public:
    Own_Display() {
        int numbers[2];
        if (pipe(numbers) != 0) return;
        server_ = fork();
        if (server_ == 0) {
            close(numbers[0]);
            const std::string fd = std::to_string(numbers[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "640x480x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(numbers[1]);
        std::string text;
        char buffer[16];
        while (text.find('\n') == std::string::npos) {
            const ssize_t got = read(numbers[0], buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) break;
            text.append(buffer, size_t(got));
        }
        close(numbers[0]);
        if (text.find('\n') != std::string::npos) name_ = ":" + text.substr(0, text.find('\n'));
        if (!name_.empty()) display_ = XOpenDisplay(name_.c_str());
    }
    ~Own_Display() {
        if (display_ != nullptr) XCloseDisplay(display_);
        if (server_ > 0) {
            kill(server_, SIGTERM);
            waitpid(server_, nullptr, 0);
        }
    }
    Own_Display(const Own_Display&) = delete;
    Own_Display& operator=(const Own_Display&) = delete;
    Display* get() const { return display_; }
    const std::string& name() const { return name_; }

private:
    pid_t server_ = -1;
    std::string name_;
    Display* display_ = nullptr;
};

// `tovrek view` in a folder of its own on that display, not waited for.
pid_t start_viewer(const std::string& display, const std::string& folder, const std::vector<std::string>& extra) {
    std::vector<std::string> words = {TOVREK_TOOL_PATH, "view", test_model("OBJ/spider.obj"), "--size",
                                      std::to_string(WIDTH) + "x" + std::to_string(HEIGHT)};
    words.insert(words.end(), extra.begin(), extra.end());
    const pid_t child = fork();
    if (child == 0) {
        setenv("DISPLAY", display.c_str(), 1);
        if (chdir(folder.c_str()) != 0) _exit(127);
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(&word[0]);
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return child;
}

// Polls `ready` for up to `seconds`.
bool within(double seconds, const std::function<bool()>& ready) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (ready()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return ready();
}

// The exit status, or -1 when the child has not ended within `seconds`.
int exit_status(pid_t child, double seconds) {
    int status = 0;
    if (!within(seconds, [&] { return waitpid(child, &status, WNOHANG) == child; })) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

Window viewer_window(Display* display) {
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0) return 0;
    for (unsigned i = 0; i < count && found == 0; ++i) {
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) != 0 && name != nullptr) {
            if (std::strcmp(name, "tovrek view") == 0) found = children[i];
            XFree(name);
        }
    }
    if (children != nullptr) XFree(children);
    return found;
}

std::vector<unsigned long> picture_of(Display* display, Window window) {
    std::vector<unsigned long> pixels;
    XImage* image = XGetImage(display, window, 0, 0, WIDTH, HEIGHT, AllPlanes, ZPixmap);
    if (image == nullptr) return pixels;
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x) pixels.push_back(XGetPixel(image, x, y) & 0xFFFFFF);
    XDestroyImage(image);
    return pixels;
}

size_t count_of(const std::vector<unsigned long>& pixels, const std::function<bool(unsigned long)>& which) {
    return size_t(std::count_if(pixels.begin(), pixels.end(), which));
}

size_t model_area(const std::vector<unsigned long>& pixels) {
    return count_of(pixels, [](unsigned long p) { return p != BACKGROUND; });
}

void press_key(Display* display, KeySym key) {
    const KeyCode code = XKeysymToKeycode(display, key);
    XTestFakeKeyEvent(display, code, True, 0);
    XTestFakeKeyEvent(display, code, False, 0);
    XFlush(display);
}

// Waits for the viewer's window to show the model (a frame drawn: the
// background and something on it); 0 when it does not.
Window shown_window(Display* display) {
    Window window = 0;
    const bool shown = within(20, [&] {
        window = viewer_window(display);
        if (window == 0) return false;
        const std::vector<unsigned long> picture = picture_of(display, window);
        const size_t background = count_of(picture, [](unsigned long p) { return p == BACKGROUND; });
        return background > 0 && picture.size() - background > 100;
    });
    return shown ? window : 0;
}

TEST(View_Window, TheUserTurnsZoomsAndQuits) {
    const Own_Display own;
    Display* display = own.get();
    ASSERT_NE(display, nullptr) << "no Xvfb of the test's own";
    int event_base = 0, error_base = 0, major = 0, minor = 0;
    ASSERT_TRUE(XTestQueryExtension(display, &event_base, &error_base, &major, &minor));
    const std::string folder = make_temporary_folder();
    const pid_t viewer = start_viewer(own.name(), folder, {"-o", folder + "/last.png"});
    const Window window = shown_window(display);
    ASSERT_NE(window, 0u) << "the window showed no model";

    // A drag with the left button from the middle to the right turns it.
    const std::vector<unsigned long> before = picture_of(display, window);
    XTestFakeMotionEvent(display, -1, WIDTH / 2, HEIGHT / 2, 0);
    XTestFakeButtonEvent(display, 1, True, 0);
    for (int step = 1; step <= 6; ++step) XTestFakeMotionEvent(display, -1, WIDTH / 2 + 10 * step, HEIGHT / 2, 0);
    XTestFakeButtonEvent(display, 1, False, 0);
    XFlush(display);
    EXPECT_TRUE(within(10, [&] { return picture_of(display, window) != before; })) << "the drag turned nothing";

    // Three notches of the wheel: the model covers more of the window.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const size_t area = model_area(picture_of(display, window));
    for (int notch = 0; notch < 3; ++notch) {
        XTestFakeButtonEvent(display, 4, True, 0);
        XTestFakeButtonEvent(display, 4, False, 0);
    }
    XFlush(display);
    EXPECT_TRUE(within(10, [&] { return model_area(picture_of(display, window)) > area * 5 / 4; }))
        << "the wheel zoomed nothing: " << area << " pixels before";

    press_key(display, XK_e);
    EXPECT_TRUE(within(10, [&] {
        return count_of(picture_of(display, window), [](unsigned long p) { return p == EDGE; }) > 50;
    })) << "e drew no edges";

    press_key(display, XK_s);
    EXPECT_TRUE(within(10, [&] { return std::filesystem::exists(folder + "/tovrek-view-0001.png"); }));

    press_key(display, XK_q);
    EXPECT_EQ(exit_status(viewer, 20), 0);
    EXPECT_TRUE(std::filesystem::exists(folder + "/last.png"));
    std::filesystem::remove_all(folder);
}

// The server keeps no copy of what a window shows: once a cover is taken
// away, or the window is unmapped and mapped again, the viewer draws the
// same picture again without any input.
TEST(View_Window, AnUncoveredOrRemappedWindowIsDrawnAgain) {
    const Own_Display own;
    Display* display = own.get();
    ASSERT_NE(display, nullptr) << "no Xvfb of the test's own";
    const std::string folder = make_temporary_folder();
    const pid_t viewer = start_viewer(own.name(), folder, {});
    const Window window = shown_window(display);
    ASSERT_NE(window, 0u) << "the window showed no model";
    const std::vector<unsigned long> shown = picture_of(display, window);

    const int screen = DefaultScreen(display);
    const Window cover = XCreateSimpleWindow(display, RootWindow(display, screen), WIDTH / 4, HEIGHT / 4, WIDTH / 2,
                                             HEIGHT / 2, 0, 0, WhitePixel(display, screen));
    XMapRaised(display, cover);
    XSync(display, False);
    XDestroyWindow(display, cover);
    XSync(display, False);
    EXPECT_TRUE(within(10, [&] { return picture_of(display, window) == shown; })) << "not drawn after the cover went";

    XUnmapWindow(display, window);
    XSync(display, False);
    XMapWindow(display, window);
    XSync(display, False);
    EXPECT_TRUE(within(10, [&] { return picture_of(display, window) == shown; })) << "not drawn after the mapping";

    kill(viewer, SIGINT);
    EXPECT_EQ(exit_status(viewer, 20), 0);
    std::filesystem::remove_all(folder);
}

TEST(View_Window, CtrlCClosesTheWindowAndWritesThePicture) {
    const Own_Display own;
    ASSERT_NE(own.get(), nullptr) << "no Xvfb of the test's own";
    const std::string folder = make_temporary_folder();
    const pid_t viewer = start_viewer(own.name(), folder, {"-o", folder + "/last.jpg"});
    ASSERT_NE(shown_window(own.get()), 0u) << "the window showed no model";
    kill(viewer, SIGINT);
    EXPECT_EQ(exit_status(viewer, 20), 0);
    EXPECT_TRUE(std::filesystem::exists(folder + "/last.jpg"));
    std::filesystem::remove_all(folder);
}

}  // namespace
