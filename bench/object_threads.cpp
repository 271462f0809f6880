// The rounds of the object threads (see object_threads.h): one mutex and
// one condition for the round's start, its end and the threads' start.
#include "bench/object_threads.h"

#include <utility>

namespace bench {

Object_Threads::Object_Threads(int count, Make_Object_Frames make) : make_(std::move(make)), starting_(count) {
    for (int i = 0; i < count; ++i) threads_.emplace_back([this] { run(); });
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return starting_ == 0; });
}

Object_Threads::~Object_Threads() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

void Object_Threads::draw_round(int frames) {
    std::unique_lock<std::mutex> lock(mutex_);
    frames_ = frames;
    busy_ = int(threads_.size());
    ++round_;
    changed_.notify_all();
    changed_.wait(lock, [this] { return busy_ == 0; });
}

void Object_Threads::run() {
    std::string error;
    std::unique_ptr<Object_Frames> object = make_(&error);
    int seen_round = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (object == nullptr && error_.empty()) error_ = error.empty() ? "an object could not be made" : error;
        seen_round = round_;
        --starting_;
    }
    changed_.notify_all();
    for (;;) {
        int frames = 0;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [&] { return stopping_ || round_ != seen_round; });
            if (stopping_) break;
            seen_round = round_;
            frames = frames_;
        }
        if (object != nullptr)
            for (int i = 0; i < frames; ++i) object->draw_frame();
        {
            std::lock_guard<std::mutex> lock(mutex_);
            --busy_;
        }
        changed_.notify_all();
    }
    object.reset();
}

}  // namespace bench
