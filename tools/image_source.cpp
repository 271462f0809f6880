// Building host pixels from image sources.
#include "tools/image_source.h"

#include "host/png_io.h"

bool load_image_source(const Image_Source& source, const std::string& base_directory, Host_Pixels* result,
                       std::string* error) {
    if (source.kind == Image_Source::Kind::png_file) {
        std::string path = source.file;
        if (!path.empty() && path[0] != '/' && !base_directory.empty()) path = base_directory + "/" + path;
        Rgba_Image image;
        if (!read_png(path, &image, error)) return false;
        result->width = image.width;
        result->height = image.height;
        result->pixels.resize(image.bytes.size() / 4);
        for (size_t i = 0; i < result->pixels.size(); ++i) {
            const uint8_t* rgba = &image.bytes[i * 4];
            result->pixels[i] = HT_Make_RGB32(rgba[0], rgba[1], rgba[2], rgba[3]);
        }
        return true;
    }
    result->width = source.width;
    result->height = source.height;
    result->pixels.assign(size_t(source.width) * size_t(source.height), source.first_color);
    if (source.kind == Image_Source::Kind::checker) {
        for (int y = 0; y < source.height; ++y) {
            for (int x = 0; x < source.width; ++x) {
                bool first = ((x / source.cell) + (y / source.cell)) % 2 == 0;
                result->pixels[size_t(y) * size_t(source.width) + size_t(x)] =
                    first ? source.first_color : source.second_color;
            }
        }
    }
    return true;
}
