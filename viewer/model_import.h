// Reading a model file with the Open Asset Import Library, with only the
// importers the viewer is tested on enabled: OBJ (with MTL), PLY, STL, OFF,
// 3DS, glTF 2.0 (text and binary) and COLLADA; glTF 1.0 is refused by name.
// Faces are triangulated, lines and points kept, identical vertices joined,
// normals made where the file has none that can light a vertex
// (model_normals.h), and node transforms applied. Diffuse textures are read
// from files in the model's folder (texture_path.h) or from the file itself.
// What the importer had to skip or guess, and each texture that cannot be
// had, becomes one of the model's warnings. The library runs in a child
// process, since a crafted file can crash it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "viewer/model.h"

// The file extensions of the enabled importers, lower case, for messages.
extern const char* const MODEL_FORMATS;

// CPU time an import may take: far more than the largest model the viewer
// is meant for needs.
constexpr int MODEL_IMPORT_CPU_SECONDS = 60;

// Reads the file at `path`. False, with the reason in one line, when the
// format is not enabled, the file cannot be read or is no model, or it holds
// no triangle, line or point, and when the importer crashed or ran out of
// time on it: the import runs in a child process (viewer/import_child.h).
bool import_model_file(const std::string& path, Model* model, std::string* reason,
                       int cpu_seconds = MODEL_IMPORT_CPU_SECONDS);

// Reads a model from memory; `extension` (such as "obj") says which format
// it is in. Files the model names (materials, textures) are not looked for.
// The import runs in a child process as above.
bool import_model_memory(const uint8_t* data, size_t size, const std::string& extension, Model* model,
                         std::string* reason, int cpu_seconds = MODEL_IMPORT_CPU_SECONDS);

// The same imports in this process: what the child runs. A crafted file can
// crash the process that calls them.
bool import_model_file_in_process(const std::string& path, Model* model, std::string* reason);
bool import_model_memory_in_process(const uint8_t* data, size_t size, const std::string& extension, Model* model,
                                    std::string* reason);
