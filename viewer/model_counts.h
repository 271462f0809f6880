// A cheap look at the headers of the formats that state their element
// counts up front (OFF and PLY): a count that the file's size cannot hold
// is refused before the importer allocates room for it. The address-space
// ceiling of the import catches the rest; this check also holds in
// sanitizer builds, whose allocators stop the process on a failed
// allocation instead of reporting it.
#pragma once

#include <cstddef>
#include <string>

// `head` is the start of the file (its first bytes, at most all of them),
// `size` the whole file's size, `extension` its lower-case format name.
// False, with the reason, when a stated count cannot fit.
bool counts_fit_size(const char* head, size_t head_size, size_t size, const std::string& extension,
                     std::string* reason);

// How much of a file's start the check reads.
constexpr size_t MODEL_HEAD_BYTES = 4096;
