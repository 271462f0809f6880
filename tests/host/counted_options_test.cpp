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

TEST(Counted, HandlesCountHoldersAndDeleteAtZero) {
    int deletions = 0;
    {
        HT_Shared_Handle<Watched> first(new Watched(&deletions));
        EXPECT_EQ(first->reference_count(), 1);
        {
            HT_Shared_Handle<Watched> second(first);
            HT_Shared_Handle<Watched> third;
            third = second;
            EXPECT_EQ(first->reference_count(), 3);
            third = third;  // self-assignment keeps the object alive
            EXPECT_EQ(first->reference_count(), 3);
        }
        EXPECT_EQ(first->reference_count(), 1);
        EXPECT_EQ(deletions, 0);
        first.assign(first);
        EXPECT_EQ(first->reference_count(), 1);
        EXPECT_EQ(deletions, 0);
    }
    EXPECT_EQ(deletions, 1);
}

TEST(Counted, ReassignmentReleasesTheOldObjectAndNullCountsNothing) {
    int old_deleted = 0, new_deleted = 0;
    HT_Shared_Handle<Watched> handle(new Watched(&old_deleted));
    HT_Shared_Handle<Watched> other(new Watched(&new_deleted));
    handle = other;
    EXPECT_EQ(old_deleted, 1);
    EXPECT_EQ(other->reference_count(), 2);

    HT_Shared_Handle<Watched> empty;
    HT_Shared_Handle<Watched> copy_of_empty(empty);
    EXPECT_TRUE(copy_of_empty.is_null());
    handle = empty;
    EXPECT_TRUE(handle.is_null());
    EXPECT_EQ(other->reference_count(), 1);
    HT_Shared_Handle<Watched> moved(std::move(other));
    EXPECT_TRUE(other.is_null());
    EXPECT_EQ(moved->reference_count(), 1);
    moved.reset();
    EXPECT_EQ(new_deleted, 1);
}

TEST(Counted, CountsStayExactUnderManyThreads) {
    int deletions = 0;
    HT_Shared_Handle<Watched> shared(new Watched(&deletions));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&shared] {
            for (int i = 0; i < 20000; ++i) {
                HT_Shared_Handle<Watched> copy(shared);
            }
        });
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(shared->reference_count(), 1);
    EXPECT_EQ(deletions, 0);
}

TEST(OptionValue, FreshRecordIsZeroAndCountedOnce) {
    HT_Option_Value value(HT_OPTION_TYPE_INTEGER, 3);
    EXPECT_EQ(count_of(value), 1);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(value.as_int(i), 0);
    value.set_as_int(2, -7);
    EXPECT_EQ(value.as_int(2), -7);

    HT_Option_Value flags(HT_OPTION_TYPE_BOOLEAN, 1);
    flags.set_as_boolean(0, true);
    EXPECT_EQ(flags.as_int(0), 0xFF);
    EXPECT_TRUE(flags.as_boolean(0));
    flags.set_as_boolean(0, false);
    EXPECT_FALSE(flags.as_boolean(0));

    HT_Option_Value scale(HT_OPTION_TYPE_FLOAT, 2);
    scale.set_as_float(1, 2.5f);
    EXPECT_FLOAT_EQ(scale.as_float(1), 2.5f);
    EXPECT_FLOAT_EQ(scale.as_float(0), 0.0f);
}

TEST(OptionValue, OutOfRangeAndNullReadZeroAndWriteNothing) {
    HT_Option_Value value(HT_OPTION_TYPE_INTEGER, 1);
    value.set_as_int(0, 5);
    value.set_as_int(1, 9);
    value.set_as_int(-1, 9);
    EXPECT_EQ(value.get()->integers.size(), 1u);
    EXPECT_EQ(value.as_int(0), 5);
    EXPECT_EQ(value.as_int(1), 0);
    EXPECT_EQ(value.as_int(-1), 0);
    EXPECT_FLOAT_EQ(value.as_float(0), 0.0f);  // an integer record holds no floats

    HT_Option_Value none;
    none.set_as_int(0, 1);
    none.set_as_boolean(0, true);
    EXPECT_EQ(none.as_int(0), 0);
    EXPECT_FALSE(none.as_boolean(0));
    EXPECT_FLOAT_EQ(none.as_float(0), 0.0f);

    HT_Option_Value negative(HT_OPTION_TYPE_INTEGER, -4);
    EXPECT_EQ(negative.as_int(0), 0);
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
        EXPECT_EQ(count_of(value), 2);  // the caller's handle and the table's copy
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

TEST(OptionTable, SetReplacesTheValueAndReleasesTheOldOne) {
    HT_Option_Definition definition("Double Buffering", HT_OPTION_TYPE_BOOLEAN, 1, HT_OPTION_SCOPE_DEVICE);
    HT_Option_Table table;
    HT_Option_Value original(HT_OPTION_TYPE_BOOLEAN, 1);
    original.set_as_boolean(0, true);
    HT_Option* option = table.add(HT_Option(&definition, original));
    EXPECT_EQ(count_of(original), 2);

    HT_Option_Value replacement(HT_OPTION_TYPE_BOOLEAN, 1);
    option->set(replacement);
    EXPECT_EQ(count_of(original), 1);
    EXPECT_EQ(count_of(replacement), 2);
    EXPECT_FALSE(table.find("Double Buffering")->value().as_boolean(0));
    option->set(option->value());
    EXPECT_EQ(count_of(replacement), 2);
}

TEST(OptionTable, DestroyingTheTableReleasesItsValues) {
    HT_Option_Definition definition("Buffer Depth", HT_OPTION_TYPE_INTEGER, 1, HT_OPTION_SCOPE_DEVICE);
    HT_Option_Value value(HT_OPTION_TYPE_INTEGER, 1);
    {
        HT_Option_Table table;
        table.add(HT_Option(&definition, value));
        table.add(HT_Option(&definition, value));
        EXPECT_EQ(count_of(value), 3);
        EXPECT_EQ(table.size(), 2u);
    }
    EXPECT_EQ(count_of(value), 1);
}
