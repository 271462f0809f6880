// Naming and writing the files next to a trace.
#include "host/recording/pixel_files.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

bool bare_safe(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '.' || c == '-' || c == '_' || c == '+';
}

// FNV-1a over the image's size and its rows.
uint64_t digest_of(const HT_Image& image) {
    uint64_t hash = 14695981039346656037ull;
    auto mix = [&hash](const uint8_t* bytes, size_t size) {
        for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
    };
    const int32_t size[2] = {image.width(), image.height()};
    mix(reinterpret_cast<const uint8_t*>(size), sizeof size);
    for (int32_t y = 0; y < image.height(); ++y)
        mix(image.pixels() + size_t(y) * size_t(image.row_bytes()), size_t(image.width()) * 4);
    return hash;
}

}  // namespace

void host_to_rgba(const uint8_t* host, uint8_t* rgba, size_t pixel_count) {
    for (size_t i = 0; i < pixel_count; ++i) {
        HT_RGB32 pixel;
        std::memcpy(&pixel, host + i * 4, 4);
        rgba[i * 4] = HT_Red(pixel);
        rgba[i * 4 + 1] = HT_Green(pixel);
        rgba[i * 4 + 2] = HT_Blue(pixel);
        rgba[i * 4 + 3] = HT_Alpha(pixel);
    }
}

Pixel_Files::Pixel_Files(const std::string& trace_path) {
    const std::filesystem::path trace(trace_path);
    directory_ = trace.parent_path().string();
    std::string name = trace.filename().string();
    for (const char* extension : {".gz", ".trace"})
        if (name.size() > std::strlen(extension) &&
            name.compare(name.size() - std::strlen(extension), std::strlen(extension), extension) == 0)
            name.resize(name.size() - std::strlen(extension));
    for (char& c : name)
        if (!bare_safe(c)) c = '_';
    stem_ = name;
}

std::string Pixel_Files::next_name(const char* extension) {
    return stem_ + "-" + std::to_string(++count_) + extension;
}

std::string Pixel_Files::path_of(const std::string& name) const {
    return directory_.empty() ? name : (std::filesystem::path(directory_) / name).string();
}

std::string Pixel_Files::texture_file(const HT_Image& image) {
    if (image.format() != HT_IMAGE_FORMAT_RGB32 || image.pixels() == nullptr || image.width() < 1 ||
        image.height() < 1)
        return "";
    const uint64_t digest = digest_of(image);
    auto known = textures_.find(digest);
    if (known != textures_.end()) return known->second;
    Rgba_Image rgba;
    rgba.width = image.width();
    rgba.height = image.height();
    rgba.bytes.resize(size_t(rgba.width) * size_t(rgba.height) * 4);
    for (int32_t y = 0; y < image.height(); ++y)
        host_to_rgba(image.pixels() + size_t(y) * size_t(image.row_bytes()),
                     &rgba.bytes[size_t(y) * size_t(rgba.width) * 4], size_t(rgba.width));
    std::string file = colour_file(rgba);
    if (!file.empty()) textures_[digest] = file;
    return file;
}

std::string Pixel_Files::colour_file(const Rgba_Image& image) {
    const std::string name = next_name(".png");
    std::string error;
    if (!write_png(path_of(name), image, &error)) {
        std::fprintf(stderr, "libvudoz: %s\n", error.c_str());
        return "";
    }
    return name;
}

std::string Pixel_Files::depth_file(int width, int height, const std::vector<uint16_t>& values) {
    const std::string name = next_name(".pgm");
    std::string error;
    if (!write_pgm16(path_of(name), width, height, reinterpret_cast<const uint8_t*>(values.data()), width * 2,
                     &error)) {
        std::fprintf(stderr, "libvudoz: %s\n", error.c_str());
        return "";
    }
    return name;
}
