// Renderer objects on threads of their own, drawing in rounds: the
// benchmark's thread starts a round, every object draws its frames at once
// with the others, and the round ends when the last has finished. Each
// object is made, used and destroyed on its own thread, as a host with one
// thread per window does. It measures nothing itself.
#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace bench {

// What one thread draws with.
class Object_Frames {
public:
    virtual ~Object_Frames() = default;
    virtual void draw_frame() = 0;
};

// Makes a thread's object on that thread; null, with the reason, when it
// cannot.
using Make_Object_Frames = std::function<std::unique_ptr<Object_Frames>(std::string* error)>;

class Object_Threads {
public:
    // Starts `count` threads and returns once each has made its object.
    Object_Threads(int count, Make_Object_Frames make);
    // Each thread destroys its object and ends.
    ~Object_Threads();
    Object_Threads(const Object_Threads&) = delete;
    Object_Threads& operator=(const Object_Threads&) = delete;

    // Empty when every object was made, else the first reason why not.
    const std::string& error() const { return error_; }
    // Every object draws `frames` frames; returns when all have.
    void draw_round(int frames);

private:
    void run();

    Make_Object_Frames make_;
    std::mutex mutex_;
    std::condition_variable changed_;
    int starting_;
    int busy_ = 0;
    int round_ = 0;
    int frames_ = 0;
    bool stopping_ = false;
    std::string error_;
    std::vector<std::thread> threads_;
};

}  // namespace bench
