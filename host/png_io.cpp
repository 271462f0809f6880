// PNG through libpng's simplified interface; PGM written by hand.
#include "host/png_io.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <png.h>

bool write_png(const std::string& path, const Rgba_Image& image, std::string* error) {
    if (image.width <= 0 || image.height <= 0) {
        *error = "an image of no pixels cannot be written as PNG";
        return false;
    }
    png_image info;
    std::memset(&info, 0, sizeof info);
    info.version = PNG_IMAGE_VERSION;
    info.width = png_uint_32(image.width);
    info.height = png_uint_32(image.height);
    info.format = PNG_FORMAT_RGBA;
    if (!png_image_write_to_file(&info, path.c_str(), 0, image.bytes.data(), 0, nullptr)) {
        *error = path + ": " + info.message;
        return false;
    }
    return true;
}

bool read_png(const std::string& path, Rgba_Image* image, std::string* error) {
    png_image info;
    std::memset(&info, 0, sizeof info);
    info.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&info, path.c_str())) {
        *error = path + ": " + info.message;
        return false;
    }
    info.format = PNG_FORMAT_RGBA;
    image->width = int(info.width);
    image->height = int(info.height);
    image->bytes.assign(PNG_IMAGE_SIZE(info), 0);
    if (!png_image_finish_read(&info, nullptr, image->bytes.data(), 0, nullptr)) {
        *error = path + ": " + info.message;
        png_image_free(&info);
        return false;
    }
    return true;
}

bool write_pgm16(const std::string& path, int width, int height, const uint8_t* values, int row_bytes,
                 std::string* error) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        *error = path + ": " + std::strerror(errno);
        return false;
    }
    std::fprintf(file, "P5\n%d %d\n65535\n", width, height);
    std::vector<uint8_t> row(size_t(width) * 2);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint16_t value;
            std::memcpy(&value, values + size_t(y) * size_t(row_bytes) + size_t(x) * 2, 2);
            row[size_t(x) * 2] = uint8_t(value >> 8);  // PGM samples are big-endian
            row[size_t(x) * 2 + 1] = uint8_t(value);
        }
        std::fwrite(row.data(), 1, row.size(), file);
    }
    bool written = std::ferror(file) == 0;
    if (std::fclose(file) != 0) written = false;
    if (!written) *error = path + ": could not be written";
    return written;
}

namespace {

// The next header number of a PGM file, past blanks and # comments.
bool pgm_number(FILE* file, long* number) {
    int c = std::fgetc(file);
    while (c == '#' || std::isspace(c)) {
        if (c == '#')
            while (c != '\n' && c != EOF) c = std::fgetc(file);
        c = std::fgetc(file);
    }
    if (!std::isdigit(c)) return false;
    *number = 0;
    for (; std::isdigit(c); c = std::fgetc(file)) {
        *number = *number * 10 + (c - '0');
        if (*number > 1000000) return false;
    }
    return std::isspace(c);  // one blank ends the header's last number
}

}  // namespace

bool read_pgm16(const std::string& path, int* width, int* height, std::vector<uint16_t>* values,
                std::string* error) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        *error = path + ": " + std::strerror(errno);
        return false;
    }
    long w = 0, h = 0, largest = 0;
    const bool header = std::fgetc(file) == 'P' && std::fgetc(file) == '5' && pgm_number(file, &w) &&
                        pgm_number(file, &h) && pgm_number(file, &largest);
    const long side_limit = 16384;
    if (!header || w < 1 || h < 1 || w > side_limit || h > side_limit || largest != 65535) {
        std::fclose(file);
        *error = path + ": not a 16-bit PGM (P5, maxval 65535) of at most 16384 pixels a side";
        return false;
    }
    std::vector<uint8_t> bytes(size_t(w) * size_t(h) * 2);
    const bool complete = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    std::fclose(file);
    if (!complete) {
        *error = path + ": fewer values than its header says";
        return false;
    }
    values->resize(size_t(w) * size_t(h));
    for (size_t i = 0; i < values->size(); ++i) (*values)[i] = uint16_t(bytes[2 * i] << 8 | bytes[2 * i + 1]);
    *width = int(w);
    *height = int(h);
    return true;
}
