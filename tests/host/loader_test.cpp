// Loading driver modules: a module that yields devices, and the reasons given
// when a module cannot be had.
#include <gtest/gtest.h>

#include <string>

#include "host/loader.h"

TEST(DriverModule, MissingFileIsReportedWithItsPath) {
    HT_Driver_Module module;
    EXPECT_FALSE(module.load("/nonexistent/driver.hdi"));
    EXPECT_FALSE(module.loaded());
    EXPECT_EQ(module.error().rfind("cannot load /nonexistent/driver.hdi: ", 0), 0u) << module.error();
    EXPECT_EQ(module.create_device(), nullptr);
}

TEST(DriverModule, LibraryWithoutEntryPointIsRefused) {
    HT_Driver_Module module;
    EXPECT_FALSE(module.load("libm.so.6"));
    EXPECT_EQ(module.error(), "libm.so.6 has no HD_Device");
    EXPECT_EQ(module.create_device(), nullptr);
}

TEST(DriverModule, LoadsADriverAndForgetsItAfterAFailedLoad) {
    HT_Driver_Module module;
    ASSERT_TRUE(module.load(TEST_HOST_DRIVER_PATH)) << module.error();
    EXPECT_TRUE(module.error().empty());
    HT_Device_Data* device = module.create_device();
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->option_tables[0].find("Buffer Depth")->value().as_int(0), 24);
    EXPECT_EQ(device->start_device(), 7) << "the module's own override answers";
    HD_Destroy_Device(device);

    EXPECT_FALSE(module.load("/nonexistent/other.hdi"));
    EXPECT_FALSE(module.loaded());
    EXPECT_EQ(module.create_device(), nullptr);
}
