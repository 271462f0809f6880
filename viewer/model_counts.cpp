// OFF: "OFF" (with its variants' letters before it), then the vertex, face
// and edge counts; each vertex takes at least "0 0 0\n" and each face
// "3 0 1 2\n". PLY: every "element NAME COUNT" line of the header; each
// element takes at least one byte.
#include "viewer/model_counts.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace {

constexpr unsigned long long SMALLEST_OFF_VERTEX = 6;
constexpr unsigned long long SMALLEST_OFF_FACE = 8;

bool too_many(unsigned long long count, unsigned long long smallest, size_t size, const std::string& what,
              std::string* reason) {
    if (count <= size / smallest) return false;
    *reason = "the header claims " + std::to_string(count) + " " + what + ", more than the file's " +
              std::to_string(size) + " bytes can hold";
    return true;
}

// A count as the header writes it; an unreadable one is the importer's to
// refuse.
bool count_of(const std::string& word, unsigned long long* count) {
    errno = 0;
    char* end = nullptr;
    *count = std::strtoull(word.c_str(), &end, 10);
    return errno == 0 && end != word.c_str() && *end == '\0' && word[0] != '-';
}

}  // namespace

bool counts_fit_size(const char* head, size_t head_size, size_t size, const std::string& extension,
                     std::string* reason) {
    std::istringstream header(std::string(head, head_size));
    std::string word;
    if (extension == "off") {
        if (!(header >> word) || word.size() < 3 || word.compare(word.size() - 3, 3, "OFF") != 0) return true;
        std::string vertices, faces;
        unsigned long long vertex_count = 0, face_count = 0;
        if (!(header >> vertices >> faces) || !count_of(vertices, &vertex_count) || !count_of(faces, &face_count))
            return true;
        return !too_many(vertex_count, SMALLEST_OFF_VERTEX, size, "vertices", reason) &&
               !too_many(face_count, SMALLEST_OFF_FACE, size, "faces", reason);
    }
    if (extension == "ply") {
        std::string line;
        while (std::getline(header, line) && line.rfind("end_header", 0) != 0) {
            std::istringstream words(line);
            std::string keyword, name, count_word;
            unsigned long long count = 0;
            if (words >> keyword >> name >> count_word && keyword == "element" && count_of(count_word, &count) &&
                too_many(count, 1, size, "elements of " + name, reason))
                return false;
        }
    }
    return true;
}
