// Counted handles and option values: counts rise and fall with the holders,
// objects go at zero, and options and tables keep counted copies.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "host/options.h"

namespace {

// A counted object that reports its own deletion.
class Watched : public HT_Counted {
public:
    explicit Watched(int* deletions) : deletions_(deletions) {}

protected:
    ~Watched() override { ++*deletions_; }

private:
    int* deletions_;
};

int32_t count_of(const HT_Option_Value& value) { return value.get()->reference_count(); }

}  // namespace

TEST(Counted, ObjectGoesWithItsLastHolder) {
    int old_deleted = 0, new_deleted = 0;
    HT_Shared_Handle<Watched> handle(new Watched(&old_deleted));
    {
        HT_Shared_Handle<Watched> copy(handle);
        copy = copy;
        EXPECT_EQ(handle->reference_count(), 2);
    }
    handle.assign(handle);
    EXPECT_EQ(handle->reference_count(), 1);
    EXPECT_EQ(old_deleted, 0);

    HT_Shared_Handle<Watched> other(new Watched(&new_deleted));
    handle = other;
    EXPECT_EQ(old_deleted, 1);
    EXPECT_EQ(other->reference_count(), 2);

    HT_Shared_Handle<Watched> empty;
    HT_Shared_Handle<Watched> copy_of_empty(empty);
    EXPECT_TRUE(copy_of_empty.is_null());
    handle = empty;
    other.reset();
    EXPECT_EQ(new_deleted, 1);
}

TEST(Counted, CountsStayExactUnderManyThreads) {
    int deletions = 0;
    HT_Shared_Handle<Watched> shared(new Watched(&deletions));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&shared] {
            for (int i = 0; i < 20000; ++i) HT_Shared_Handle<Watched> copy(shared);
        });
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(shared->reference_count(), 1);
    EXPECT_EQ(deletions, 0);
}

TEST(OptionValue, ElementsOutsideTheRecordReadZeroAndAreNotWritten) {
    HT_Option_Value value(HT_OPTION_TYPE_INTEGER, 2);
    EXPECT_EQ(count_of(value), 1);
    EXPECT_EQ(value.as_int(1), 0);
    value.set_as_int(1, -7);
    value.set_as_int(2, 9);
    value.set_as_int(-1, 9);
    EXPECT_EQ(value.get()->integers, (std::vector<int32_t>{0, -7}));
    EXPECT_EQ(value.as_int(2), 0);
    EXPECT_EQ(value.as_int(-1), 0);
    EXPECT_FLOAT_EQ(value.as_float(0), 0.0f);  // an integer record holds no floats

    value.set_as_boolean(0, true);
    EXPECT_EQ(value.as_int(0), 0xFF);
    EXPECT_TRUE(value.as_boolean(0));

    HT_Option_Value scale(HT_OPTION_TYPE_FLOAT, 1);
    scale.set_as_float(0, 2.5f);
    EXPECT_FLOAT_EQ(scale.as_float(0), 2.5f);

    HT_Option_Value none;
    none.set_as_int(0, 1);
    EXPECT_EQ(none.as_int(0), 0);
    EXPECT_FALSE(none.as_boolean(0));
    EXPECT_EQ(HT_Option_Value(HT_OPTION_TYPE_INTEGER, -4).as_int(0), 0);
}

TEST(OptionTable, LookupsAreCountedCopiesOfTheStoredValue) {
    HT_Option_Definition_Table definitions;
    HT_Option_Definition* fast = definitions.add(
        HT_Option_Definition("Fast Readback", HT_OPTION_TYPE_BOOLEAN, 1, HT_OPTION_SCOPE_DEVICE));
    EXPECT_EQ(definitions.find("Fast Readback"), fast);
    EXPECT_EQ(definitions.find("Dithering"), nullptr);

    HT_Option_Table table;
    HT_Option* stored;
    {
        HT_Option_Value value(HT_OPTION_TYPE_BOOLEAN, 1);
        value.set_as_boolean(0, true);
        stored = table.add(HT_Option(fast, value));
    }
    EXPECT_EQ(table.find("Fast Readback"), stored);
    EXPECT_EQ(table.find("Nothing"), nullptr);
    EXPECT_EQ(count_of(stored->value()), 1);
    {
        HT_Option_Value first(table.find("Fast Readback")->value());
        HT_Option_Value second(table.find("Fast Readback")->value());
        EXPECT_EQ(first.get(), second.get());
        EXPECT_EQ(count_of(stored->value()), 3);
        EXPECT_TRUE(first.as_boolean(0));
    }
    EXPECT_EQ(count_of(stored->value()), 1);
}

TEST(OptionTable, SetAndDestructionReleaseValues) {
    HT_Option_Definition definition("Double Buffering", HT_OPTION_TYPE_BOOLEAN, 1, HT_OPTION_SCOPE_DEVICE);
    HT_Option_Value original(HT_OPTION_TYPE_BOOLEAN, 1);
    HT_Option_Value replacement(HT_OPTION_TYPE_BOOLEAN, 1);
    {
        HT_Option_Table table;
        HT_Option* option = table.add(HT_Option(&definition, original));
        table.add(HT_Option(&definition, replacement));
        EXPECT_EQ(count_of(original), 2);
        option->set(replacement);
        option->set(option->value());
        EXPECT_EQ(count_of(original), 1);
        EXPECT_EQ(count_of(replacement), 3);
    }
    EXPECT_EQ(count_of(replacement), 1);
}
