// The files `tovrek view` writes: each checked before anything is rendered,
// so that a run never draws for minutes and then fails to keep its result,
// and pictures written as PNG or JPEG by their extension. It decides
// nothing about what goes into them.
#pragma once

#include <string>

#include "host/png_io.h"

// True when `path` can be opened for writing; the check leaves no file
// behind where there was none. False, with the reason, otherwise.
bool output_writable(const std::string& path, std::string* error);

// Makes the folder (and its parents) when missing; false, with the reason,
// when it cannot be made or written into.
bool output_folder_ready(const std::string& folder, std::string* error);

// PNG for .png, JPEG (quality 92) for .jpg and .jpeg; false, with the
// reason, when the file cannot be written.
bool write_picture_file(const std::string& path, const Rgba_Image& picture, std::string* error);
