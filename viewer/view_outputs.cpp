// Writability checks by opening the file as the run will; PNG goes through
// the host's libpng writer, JPEG through jpeg_file.
#include "viewer/view_outputs.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "viewer/jpeg_file.h"

namespace {

constexpr int JPEG_QUALITY = 92;

bool is_png(const std::string& path) {
    std::string end = path.size() >= 4 ? path.substr(path.size() - 4) : path;
    for (char& c : end) c = char(std::tolower(static_cast<unsigned char>(c)));
    return end == ".png";
}

}  // namespace

bool output_writable(const std::string& path, std::string* error) {
    struct stat before {};
    const bool existed = ::stat(path.c_str(), &before) == 0;
    if (existed && S_ISDIR(before.st_mode)) {
        *error = path + ": is a folder";
        return false;
    }
    const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (file < 0) {
        *error = path + ": " + std::strerror(errno);
        return false;
    }
    ::close(file);
    if (!existed) ::unlink(path.c_str());
    return true;
}

bool output_folder_ready(const std::string& folder, std::string* error) {
    std::error_code code;
    std::filesystem::create_directories(folder, code);
    if (code) {
        *error = folder + ": " + code.message();
        return false;
    }
    if (!std::filesystem::is_directory(folder) || ::access(folder.c_str(), W_OK | X_OK) != 0) {
        *error = folder + ": " + (std::filesystem::is_directory(folder) ? std::strerror(EACCES) : "not a folder");
        return false;
    }
    return true;
}

bool write_picture_file(const std::string& path, const Rgba_Image& picture, std::string* error) {
    if (is_png(path)) return write_png(path, picture, error);
    if (write_jpeg_file(path, picture, JPEG_QUALITY)) return true;
    *error = path + ": the JPEG could not be written";
    return false;
}
