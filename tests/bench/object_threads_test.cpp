// The object threads of the objects-side-by-side benchmark: every object is
// made, drawn and destroyed on a thread of its own, a round ends only when
// every object has drawn all its frames, and an object that cannot be made
// is reported rather than waited for.
#include "bench/object_threads.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <thread>

#include <gtest/gtest.h>

namespace {

struct Seen {
    std::mutex mutex;
    std::set<std::thread::id> threads;
    std::atomic<int> frames{0};
    std::atomic<int> wrong_thread{0};
    std::atomic<int> destroyed{0};
};

class Counting_Object : public bench::Object_Frames {
public:
    explicit Counting_Object(Seen& seen) : seen_(seen) {
        std::lock_guard<std::mutex> lock(seen_.mutex);
        seen_.threads.insert(thread_);
    }
    ~Counting_Object() override {
        if (std::this_thread::get_id() != thread_) ++seen_.wrong_thread;
        ++seen_.destroyed;
    }
    void draw_frame() override {
        if (std::this_thread::get_id() != thread_) ++seen_.wrong_thread;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ++seen_.frames;
    }

private:
    Seen& seen_;
    const std::thread::id thread_ = std::this_thread::get_id();
};

TEST(Object_Threads, EachObjectLivesOnAThreadOfItsOwnAndARoundWaitsForAll) {
    constexpr int objects = 6;
    Seen seen;
    {
        bench::Object_Threads threads(objects, [&seen](std::string*) { return std::make_unique<Counting_Object>(seen); });
        EXPECT_EQ(threads.error(), "");
        for (int round = 1; round <= 3; ++round) {
            threads.draw_round(2);
            EXPECT_EQ(seen.frames.load(), objects * 2 * round);
        }
    }
    EXPECT_EQ(seen.destroyed.load(), objects);
    EXPECT_EQ(seen.wrong_thread.load(), 0);
    EXPECT_EQ(seen.threads.size(), size_t(objects));
    EXPECT_EQ(seen.threads.count(std::this_thread::get_id()), 0u);
}

TEST(Object_Threads, AnObjectThatCannotBeMadeIsReported) {
    Seen seen;
    std::atomic<int> made{0};
    bench::Object_Threads threads(3, [&](std::string* error) -> std::unique_ptr<bench::Object_Frames> {
        if (made++ == 1) {
            *error = "no window";
            return nullptr;
        }
        return std::make_unique<Counting_Object>(seen);
    });
    EXPECT_EQ(threads.error(), "no window");
    threads.draw_round(1);
    EXPECT_EQ(seen.frames.load(), 2);
}

}  // namespace
