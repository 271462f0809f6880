// The rendition statements (color, line, face, texture): each written when
// its part of the rendition differs from what the trace last said.
#include <algorithm>
#include <cstring>

#include "host/recording/number_text.h"
#include "host/recording/session.h"

namespace {

bool same_line(const HT_Line_Rendition& a, const HT_Line_Rendition& b) {
    return a.pattern == b.pattern && a.cap_style == b.cap_style && a.join_style == b.join_style &&
           a.weight == b.weight && a.dashes == b.dashes;
}

bool same_face(const HT_Face_Rendition& a, const HT_Face_Rendition& b) {
    return a.pattern == b.pattern && std::memcmp(a.user_rows, b.user_rows, sizeof a.user_rows) == 0;
}

bool same_texture(const HT_Rendition& a, const HT_Rendition& b) {
    const HT_Texture* texture = a.color.texture.texture.get();
    const HT_Texture* other = b.color.texture.texture.get();
    return texture == other && a.color.texture.id == b.color.texture.id &&
           a.surface.texture_interpolation == b.surface.texture_interpolation &&
           (texture == nullptr || (texture->wrap_s == other->wrap_s && texture->wrap_t == other->wrap_t));
}

void append_line_statement(std::string& text, const HT_Line_Rendition& line) {
    text = "line pattern=";
    append_integer(text, line.pattern);
    text += " style=";
    append_integer(text, line.cap_style);
    text += ',';
    append_integer(text, line.join_style);
    text += " weight=";
    append_integer(text, line.weight);
    if (line.dashes.empty()) return;
    text += " dashes=";
    for (size_t i = 0; i < line.dashes.size(); ++i) {
        if (i > 0) text += ',';
        append_integer(text, line.dashes[i]);
    }
}

void append_face_statement(std::string& text, const HT_Face_Rendition& face) {
    text = "face pattern=";
    append_integer(text, face.pattern);
    // Rows left empty are what a replay starts with.
    if (std::none_of(std::begin(face.user_rows), std::end(face.user_rows), [](uint32_t row) { return row != 0; }))
        return;
    text += " user=";
    for (uint32_t bits : face.user_rows) append_hex_word(text, bits);
}

}  // namespace

void Recording_Session::rendition(const HT_Rendition* r) {
    if (r == nullptr) return;
    const bool all = !wrote_rendition_;
    wrote_rendition_ = true;
    std::string& text = line();
    if (all || r->color.color != written_.color.color) {
        text = "color ";
        append_color(text, r->color.color);
        write(text);
    }
    if (all || !same_line(r->line, written_.line)) {
        append_line_statement(text, r->line);
        write(text);
    }
    if (all || !same_face(r->face, written_.face)) {
        append_face_statement(text, r->face);
        write(text);
    }
    if (all || !same_texture(*r, written_)) {
        const HT_Texture* texture = r->color.texture.texture.get();
        const HT_Shared_Image image = texture != nullptr ? texture->image() : HT_Shared_Image();
        const std::string file = image.is_null() ? "" : files().texture_file(*image.get());
        if (file.empty()) {
            // The interpolation still counts: the standard routine divides
            // colours by 1/w under perspective, texture or not.
            text = "texture none further=";
            append_integer(text, r->surface.texture_interpolation);
            write(text);
        } else {
            text = "texture id=";
            append_integer(text, r->color.texture.id);
            text += " wrap=";
            append_integer(text, texture->wrap_s);
            text += ',';
            append_integer(text, texture->wrap_t);
            text += " image=" + file + " further=";
            append_integer(text, r->surface.texture_interpolation);
            write(text);
        }
    }
    written_.color.color = r->color.color;
    written_.color.texture = r->color.texture;
    written_.line = r->line;
    written_.face = r->face;
    written_.surface = r->surface;
}
