// Reading a model file with the Open Asset Import Library, with only the
// importers the viewer is tested on enabled: OBJ (with MTL), PLY, STL, OFF,
// 3DS, glTF 2.0 (text and binary) and COLLADA. Faces are triangulated,
// smooth normals made where the file has none, identical vertices joined,
// and node transforms applied. Diffuse textures are read from files next to
// the model or from the file itself (PNG and JPEG).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "viewer/model.h"

// The file extensions of the enabled importers, lower case, for messages.
extern const char* const MODEL_FORMATS;

// Reads the file at `path`. False, with the reason in one line, when the
// format is not enabled, the file cannot be read or is no model, or it holds
// no triangle.
bool import_model_file(const std::string& path, Model* model, std::string* reason);

// Reads a model from memory; `extension` (such as "obj") says which format
// it is in. Files the model names (materials, textures) are not looked for.
bool import_model_memory(const uint8_t* data, size_t size, const std::string& extension, Model* model,
                         std::string* reason);
