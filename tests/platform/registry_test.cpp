// The registry as the driver reads it: Win32 results and byte counts, key
// and value names without regard to case, and the registry file.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "platform/windows.h"
#include "platform/winx.h"

namespace {

const char* const board_key = "SYSTEM\\CurrentControlSet\\Services\\QRB64\\Device0";

std::string temporary_file(const std::string& contents) {
    char path[] = "/tmp/winx_registry_XXXXXX";
    int descriptor = mkstemp(path);
    EXPECT_GE(descriptor, 0);
    std::FILE* file = fdopen(descriptor, "w");
    std::fputs(contents.c_str(), file);
    std::fclose(file);
    return path;
}

class Registry : public testing::Test {
protected:
    void SetUp() override { winx::registry_clear(); }
    void TearDown() override {
        winx::registry_clear();
        if (!file_.empty()) std::remove(file_.c_str());
    }
    // Loads the text as the registry file; the reason when it is refused.
    std::string load(const std::string& text) {
        file_ = temporary_file(text);
        std::string error;
        return winx::registry_load_file(file_, &error) ? "" : error;
    }
    std::string file_;
};

HKEY open_board_key() {
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, board_key, 0, KEY_READ, &key), ERROR_SUCCESS);
    return key;
}

TEST_F(Registry, MissingKeysFailToOpen) {
    HKEY key = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, board_key, 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);

    winx::registry_set_dword(board_key, "User3d.ZBuffer", 1);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\QRB6", 0,
                            KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    // A key above one that exists exists too, and names ignore case.
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "system\\currentcontrolset", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    HKEY below = nullptr;
    ASSERT_EQ(RegOpenKeyExA(key, "SERVICES\\qrb64\\DEVICE0", 0, KEY_READ, &below), ERROR_SUCCESS);
    DWORD value = 0;
    DWORD size = sizeof value;
    EXPECT_EQ(RegQueryValueExA(below, "user3d.zbuffer", nullptr, nullptr, (LPBYTE)&value, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(value, 1u);
    EXPECT_EQ(RegCloseKey(below), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

    winx::registry_remove_key("SYSTEM\\CurrentControlSet\\Services");
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, board_key, 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
}

TEST_F(Registry, ValuesAreReadAsWin32ReadsThem) {
    const BYTE binary[6] = {0x0a, 0, 0, 0, 0xff, 0xff};
    winx::registry_set_value(board_key, "User3d.DoubleBuffer", REG_BINARY, binary, sizeof binary);
    winx::registry_set_dword(board_key, "User3d.ZBuffer", 0);
    HKEY key = open_board_key();

    // The driver's sequence: one 40-byte buffer; the second read is given the
    // byte count that the first left behind.
    BYTE buffer[40];
    std::memset(buffer, 0xcc, sizeof buffer);
    DWORD size = sizeof buffer;
    DWORD type = REG_NONE;
    EXPECT_EQ(RegQueryValueExA(key, "User3d.ZBuffer", nullptr, &type, buffer, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(buffer[4], 0xcc);  // nothing past the data is written
    EXPECT_EQ(RegQueryValueExA(key, "User3d.DoubleBuffer", nullptr, &type, buffer, &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, 6u);  // the size needed
    EXPECT_EQ(type, REG_BINARY);
    EXPECT_EQ(buffer[0], 0u);  // left as the first read wrote it

    // With room, the binary value's first four bytes are its 32-bit number.
    EXPECT_EQ(RegQueryValueExA(key, "User3d.DoubleBuffer", nullptr, nullptr, buffer, &size),
              ERROR_SUCCESS);
    DWORD number;
    std::memcpy(&number, buffer, 4);
    EXPECT_EQ(number, 10u);

    // An absent value leaves the byte count alone; a null buffer asks the size.
    size = 40;
    EXPECT_EQ(RegQueryValueExA(key, "User3d.Missing", nullptr, &type, buffer, &size),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(size, 40u);
    size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "User3d.DoubleBuffer", nullptr, nullptr, nullptr, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(size, 6u);

    winx::registry_remove_value(board_key, "User3d.ZBuffer");
    size = 40;
    EXPECT_EQ(RegQueryValueExA(key, "User3d.ZBuffer", nullptr, nullptr, buffer, &size),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(Registry, ClosedAndForeignKeysAreInvalid) {
    winx::registry_set_dword(board_key, "User3d.ZBuffer", 1);
    HKEY key = open_board_key();
    ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    DWORD size = 4;
    DWORD value;
    EXPECT_EQ(RegQueryValueExA(key, "User3d.ZBuffer", nullptr, nullptr, (LPBYTE)&value, &size),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(nullptr), ERROR_INVALID_HANDLE);
    HKEY result;
    EXPECT_EQ(RegOpenKeyExA(nullptr, board_key, 0, KEY_READ, &result), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, board_key, 0, KEY_READ, nullptr),
              ERROR_INVALID_PARAMETER);
}

TEST_F(Registry, FileHoldsEveryKindOfValue) {
    ASSERT_EQ(load("; the board's control panel\n"
                   "\n"
                   "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\QRB64\\Device0]\n"
                   "\"User3d.ZBuffer\"=dword:0000000a\n"
                   "  \"User3d.DoubleBuffer\"=hex:01,02,03,04,05  \r\n"
                   "\"Short\"=hex(4):07,00\n"
                   "\"Label\"=\"say \\\"hi\\\" \\\\ ok\"\n"
                   "@=dword:2\n"
                   "[Empty\\Key]\n"),
              "");
    HKEY key = open_board_key();
    BYTE buffer[40];
    DWORD size = sizeof buffer;
    DWORD type;
    DWORD number;

    ASSERT_EQ(RegQueryValueExA(key, "User3d.ZBuffer", nullptr, &type, buffer, &size),
              ERROR_SUCCESS);
    std::memcpy(&number, buffer, 4);
    EXPECT_EQ(number, 10u);
    EXPECT_EQ(type, REG_DWORD);

    size = sizeof buffer;
    ASSERT_EQ(RegQueryValueExA(key, "User3d.DoubleBuffer", nullptr, &type, buffer, &size),
              ERROR_SUCCESS);
    std::memcpy(&number, buffer, 4);
    EXPECT_EQ(number, 0x04030201u);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(type, REG_BINARY);

    size = sizeof buffer;
    ASSERT_EQ(RegQueryValueExA(key, "Short", nullptr, &type, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 2u);
    EXPECT_EQ(type, REG_DWORD);

    size = sizeof buffer;
    ASSERT_EQ(RegQueryValueExA(key, "Label", nullptr, &type, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), size),
              std::string("say \"hi\" \\ ok\0", 14));

    size = sizeof buffer;
    ASSERT_EQ(RegQueryValueExA(key, nullptr, nullptr, nullptr, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(buffer[0], 2u);
    RegCloseKey(key);

    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "empty\\key", 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(Registry, MalformedFileLeavesTheRegistryEmpty) {
    winx::registry_set_dword(board_key, "User3d.ZBuffer", 1);
    const char* const bad_files[] = {
        "[A]\n\"Value\"=dword:123456789\n",  // nine digits
        "[A]\n\"Value\"=hex:1,02\n",
        "[A]\n\"Value\"=hex:01,\n",
        "[A]\n\"Value\"=\"open\n",
        "[A]\n\"Value\"=dword:1 trailing\n",
        "[A]\n\"Value\"=qword:1\n",
        "[A]\nValue=dword:1\n",
        "\"Value\"=dword:1\n[A]\n",  // a value before any key
        "[A\n",
        "[\\]\n",
    };
    for (const char* text : bad_files) {
        std::string error = load(text);
        EXPECT_NE(error, "") << text;
        EXPECT_NE(error.find(file_ + ":"), std::string::npos) << error;
        HKEY key;
        EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "A", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND)
            << text;
        EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, board_key, 0, KEY_READ, &key),
                  ERROR_FILE_NOT_FOUND);
    }
    EXPECT_NE(load("[A]\n; fine\n\"Ok\"=dword:1\n\"Bad\"=dword:\n").find(":4: "),
              std::string::npos);
    EXPECT_FALSE(winx::registry_load_file("/nonexistent/winx/registry", nullptr));
}

// The file named by $WINX_REGISTRY is read on the process's first registry
// call, so these run in a fresh process each.
TEST(Registry_Environment, FileIsReadOnFirstUse) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    std::string path =
        temporary_file("[" + std::string(board_key) + "]\n\"User3d.ZBuffer\"=dword:00000000\n");
    EXPECT_EXIT(
        {
            setenv("WINX_REGISTRY", path.c_str(), 1);
            HKEY key;
            DWORD value = 1;
            DWORD size = sizeof value;
            bool read =
                RegOpenKeyExA(HKEY_LOCAL_MACHINE, board_key, 0, KEY_READ, &key) == ERROR_SUCCESS &&
                RegQueryValueExA(key, "User3d.ZBuffer", nullptr, nullptr, (LPBYTE)&value, &size) ==
                    ERROR_SUCCESS;
            std::exit(read && value == 0 ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
    std::remove(path.c_str());
}

TEST(Registry_Environment, MalformedFileSaysWhereOnStandardError) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    std::string path = temporary_file("[A]\n\"Value\"=dword:1\n\"Broken\"=hex:zz\n");
    EXPECT_EXIT(
        {
            setenv("WINX_REGISTRY", path.c_str(), 1);
            HKEY key;
            std::exit(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "A", 0, KEY_READ, &key) ==
                              ERROR_FILE_NOT_FOUND
                          ? 0
                          : 1);
        },
        testing::ExitedWithCode(0), "winx registry: .*:3: bad byte \"zz\" in hex data");
    std::remove(path.c_str());
}

}  // namespace
