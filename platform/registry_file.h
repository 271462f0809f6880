// Reading the registry's text file into Registry_Contents (the format is
// described at the top of registry_file.cpp).
#pragma once

#include <string>

#include "platform/registry_contents.h"

namespace winx {

enum class Registry_File_Result { loaded, missing, failed };

// Replaces *contents with the file's keys and values. When the file does not
// exist, or cannot be read or parsed, *contents is left empty; for a failure
// *error tells what went wrong and where ("PATH:LINE: reason").
Registry_File_Result read_registry_file(const std::string& path, Registry_Contents* contents,
                                        std::string* error);

// The same for text already in memory; errors read "LINE: reason".
bool parse_registry_text(const std::string& text, Registry_Contents* contents,
                         std::string* error);

}  // namespace winx
