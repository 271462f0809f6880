// Telling a glTF 1.0 file from a glTF 2.0 one before the import, so that
// the older format, which the viewer does not read, is named as such
// rather than refused with whatever the 2.0 loader makes of it. It checks
// no more than the version: the rest of the file is the loader's to judge.
#pragma once

#include <cstddef>
#include <string>

// The answer for every glTF 1.0 file, text or binary.
extern const char* const GLTF_1_REFUSAL;

// `bytes` is the whole of a text glTF file (`binary` false), or the start
// of a binary one, at least its 12-byte header (`binary` true). True when
// it declares glTF 1: a binary header of version 1, or an "asset" object
// whose "version" (a string or a number) begins with 1.
bool declares_gltf_1(const char* bytes, size_t size, bool binary);
