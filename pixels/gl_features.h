// What the context's OpenGL offers beyond version 1.1, asked of OpenGL
// itself. Render thread only, with the context current.
#pragma once

// True when the context's version is major.minor or later.
bool gl_version_at_least(int major, int minor);
// True when the extension string names the extension (whole names only).
bool gl_has_extension(const char* name);
// True when pixels can travel in the host's own byte order (blue, green,
// red, alpha) as GL_BGRA: OpenGL 1.2, or 1.1 with GL_EXT_bgra.
bool gl_takes_host_order();
