// Finding a texture's file from the name a model gives it: as written, with
// either slash and "..", in another letter case, and by its last part when
// the path is another machine's; nothing when there is no such file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/process.h"
#include "viewer/texture_path.h"

namespace {

namespace fs = std::filesystem;

class Texture_Path : public testing::Test {
protected:
    void SetUp() override {
        folder_ = make_temporary_folder();
        fs::create_directories(folder_ + "/Maps/Wood");
        for (const char* file : {"/plain.png", "/Maps/Wood/Oak.tga", "/Maps/stone.bmp"}) std::ofstream(folder_ + file) << "x";
        fs::create_directories(folder_ + "/folder.png");
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string found(const std::string& name) const {
        const std::string path = find_texture_file(folder_, name);
        return path.empty() ? path : fs::path(path).lexically_relative(folder_).generic_string();
    }

    std::string folder_;
};

TEST_F(Texture_Path, NamesAreFoundThroughSlashesDotsAndLetterCase) {
    EXPECT_EQ(found("plain.png"), "plain.png");
    EXPECT_EQ(found("Maps/Wood/Oak.tga"), "Maps/Wood/Oak.tga");
    EXPECT_EQ(found("Maps\\Wood\\Oak.tga"), "Maps/Wood/Oak.tga");
    EXPECT_EQ(found("Maps\\none\\..\\stone.bmp"), "Maps/stone.bmp") << "a folder that is not there, left by ..";
    EXPECT_EQ(found("PLAIN.PNG"), "plain.png");
    EXPECT_EQ(found("maps/WOOD\\oak.TGA"), "Maps/Wood/Oak.tga");
    EXPECT_EQ(found("./maps/../Maps/Stone.BMP"), "Maps/stone.bmp");
    // From the root of another machine's drive: taken from the model's folder.
    EXPECT_EQ(found("\\..\\" + fs::path(folder_).filename().string() + "\\maps\\Stone.bmp"), "Maps/stone.bmp");
    EXPECT_EQ(found("/Maps/stone.bmp"), "Maps/stone.bmp");
    // Another machine's path: the last part, beside the model.
    EXPECT_EQ(found("C:\\Users\\artist\\Plain.png"), "plain.png");
    EXPECT_EQ(found(folder_ + "/Maps/stone.bmp"), "Maps/stone.bmp") << "an absolute path that is there";
}

TEST_F(Texture_Path, WhatIsNotThereOrIsNoFileIsNotFound) {
    EXPECT_EQ(found("missing.png"), "");
    EXPECT_EQ(found("Maps/Wood/Pine.tga"), "");
    EXPECT_EQ(found("folder.png"), "") << "a folder under a texture's name";
    EXPECT_EQ(found("Maps"), "");
    EXPECT_EQ(found(""), "");
    EXPECT_EQ(found("Maps/"), "");
}

}  // namespace
