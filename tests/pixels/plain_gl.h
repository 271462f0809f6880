// A layer of the dispatch table that makes every context say it is OpenGL
// 1.1 without extensions, so that the driver takes the paths that need
// nothing more (colours as red, green, blue, alpha; textures of powers of
// two). Installed while an object of this class lives.
#pragma once

class Plain_Gl_Layer {
public:
    Plain_Gl_Layer();
    ~Plain_Gl_Layer();
    Plain_Gl_Layer(const Plain_Gl_Layer&) = delete;
    Plain_Gl_Layer& operator=(const Plain_Gl_Layer&) = delete;
};
