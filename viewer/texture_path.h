// Finding the file of a texture that a model names. Models are written on
// many systems: names come with either slash, with "..", and with a letter
// case that differs from the file's, or as a path on the machine that made
// them. It reads no image; an empty answer means no such file was found.
#pragma once

#include <string>

// Looks, in this order, for: the name as written, with backslashes taken
// as slashes and ".." resolved, if it is an absolute path; the name as
// written relative to `directory`, the model's folder (an absolute one
// without its leading slashes, as a path from the root of another
// machine's drive); the same path with each part matched without regard
// to letter case; and the name's last part in `directory`, also without
// regard to case.
std::string find_texture_file(const std::string& directory, const std::string& name);
