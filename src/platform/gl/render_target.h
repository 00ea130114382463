#pragma once
// The back buffer and its depth buffer: one framebuffer object of the back buffer's size, which
// every draw renders into and Present shows. Rows are stored top row first, as Direct3D numbers
// them, so that reading it back needs no turning over.

#include <string>

#include "platform/d3d9/d3d9_types.h"
#include "platform/gl/gl_functions.h"

namespace gl {

class RenderTarget {
public:
    // False, with the reason in `why`, when GL refuses the framebuffer.
    bool Create(Functions& gl, int width, int height, D3DFORMAT colour, bool depth, D3DFORMAT depthFormat,
                std::string* why);
    void Destroy(Functions& gl);

    GLuint Framebuffer() const { return framebuffer_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool HasDepth() const { return depth_ != 0; }
    bool HasStencil() const { return stencil_; }

private:
    GLuint framebuffer_ = 0;
    GLuint colour_ = 0;
    GLuint depth_ = 0;
    bool stencil_ = false;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace gl
