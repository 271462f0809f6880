// `png_pixel FILE.png X Y`: prints the pixel at column X, row Y (top row 0)
// as #rrggbb, for the packaging tests' shell scripts. Exit 1 when the file
// cannot be read or the pixel lies outside it.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/png_io.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs("usage: png_pixel FILE.png X Y\n", stderr);
        return 2;
    }
    Rgba_Image image;
    std::string error;
    if (!read_png(argv[1], &image, &error)) {
        std::fprintf(stderr, "png_pixel: %s\n", error.c_str());
        return 1;
    }
    const int x = std::atoi(argv[2]), y = std::atoi(argv[3]);
    if (x < 0 || y < 0 || x >= image.width || y >= image.height) {
        std::fprintf(stderr, "png_pixel: (%d,%d) lies outside the %dx%d picture\n", x, y, image.width, image.height);
        return 1;
    }
    const uint8_t* pixel = &image.bytes[(size_t(y) * size_t(image.width) + size_t(x)) * 4];
    std::printf("#%02x%02x%02x\n", pixel[0], pixel[1], pixel[2]);
    return 0;
}
