// The sticky rendition: colour, line and face attributes, and the texture.
#include <cstring>

#include "tools/image_source.h"
#include "tools/trace_handlers.h"

Failure run_statement(Replay_State& state, const Color_Statement& statement) {
    state.rendition.color.color = statement.color;
    return std::nullopt;
}

Failure run_statement(Replay_State& state, const Line_Statement& statement) {
    HT_Line_Rendition& line = state.rendition.line;
    if (statement.pattern) line.pattern = *statement.pattern;
    if (statement.cap_style) line.cap_style = *statement.cap_style;
    if (statement.join_style) line.join_style = *statement.join_style;
    if (statement.weight) line.weight = *statement.weight;
    if (statement.dashes) line.dashes = *statement.dashes;
    return std::nullopt;
}

Failure run_statement(Replay_State& state, const Face_Statement& statement) {
    HT_Face_Rendition& face = state.rendition.face;
    if (statement.pattern) face.pattern = *statement.pattern;
    if (statement.user_rows) std::copy(statement.user_rows->begin(), statement.user_rows->end(), face.user_rows);
    return std::nullopt;
}

Failure run_statement(Replay_State& state, const Texture_Statement& statement) {
    HT_Texture_Reference& reference = state.rendition.color.texture;
    if (statement.none) {
        reference.id = 0;
        reference.texture.reset();
        if (statement.further) state.rendition.surface.texture_interpolation = *statement.further;
        return std::nullopt;
    }
    Host_Pixels pixels;
    std::string error;
    if (!load_image_source(statement.image, state.trace_directory(), &pixels, &error))
        return expected("a texture image", error);
    HT_Shared_Image image({0, 0, 0}, pixels.width, pixels.height, HT_IMAGE_FORMAT_RGB32, pixels.width * 4,
                          nullptr, false);
    if (!pixels.pixels.empty()) {
        if (image.is_null() || image->pixels() == nullptr)
            return expected("memory for the texture image", "none");
        std::memcpy(image->pixels(), pixels.pixels.data(), pixels.pixels.size() * sizeof(HT_RGB32));
    }
    reference.id = statement.id;
    reference.texture = HT_Texture_Handle(new HT_Texture(HT_Wrap_Mode(statement.wrap_s),
                                                         HT_Wrap_Mode(statement.wrap_t), image));
    state.rendition.surface.texture_interpolation = statement.further.value_or(0);
    return std::nullopt;
}
