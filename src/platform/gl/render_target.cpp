#include "platform/gl/render_target.h"

namespace gl {
namespace {

GLenum DepthStorage(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_D16:
            return GL_DEPTH_COMPONENT16;
        case D3DFMT_D24X8:
            return GL_DEPTH_COMPONENT24;
        case D3DFMT_D32:
            return GL_DEPTH_COMPONENT32;
        default:
            return GL_DEPTH24_STENCIL8;  // D24S8
    }
}

GLuint Renderbuffer(Functions& gl, GLenum storage, int width, int height) {
    GLuint name = 0;
    gl.GenRenderbuffers(1, &name);
    gl.BindRenderbuffer(GL_RENDERBUFFER, name);
    gl.RenderbufferStorage(GL_RENDERBUFFER, storage, width, height);
    return name;
}

}  // namespace

bool RenderTarget::Create(Functions& gl, int width, int height, D3DFORMAT colour, bool depth, D3DFORMAT depthFormat,
                          std::string* why) {
    width_ = width;
    height_ = height;
    // Without alpha in the format, GL reads the destination alpha as 1, as Direct3D does.
    colour_ = Renderbuffer(gl, colour == D3DFMT_A8R8G8B8 ? GL_RGBA8 : GL_RGB8, width, height);
    gl.GenFramebuffers(1, &framebuffer_);
    gl.BindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    gl.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
    if (depth) {
        const GLenum storage = DepthStorage(depthFormat);
        depth_ = Renderbuffer(gl, storage, width, height);
        stencil_ = storage == GL_DEPTH24_STENCIL8;
        gl.FramebufferRenderbuffer(GL_FRAMEBUFFER, stencil_ ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT,
                                   GL_RENDERBUFFER, depth_);
    }
    const GLenum status = gl.CheckFramebufferStatus(GL_FRAMEBUFFER);
    if (status == GL_FRAMEBUFFER_COMPLETE) return true;
    if (why != nullptr) *why = "the back buffer's framebuffer is incomplete (status " + std::to_string(status) + ")";
    return false;
}

void RenderTarget::Destroy(Functions& gl) {
    if (framebuffer_ != 0) gl.DeleteFramebuffers(1, &framebuffer_);
    if (colour_ != 0) gl.DeleteRenderbuffers(1, &colour_);
    if (depth_ != 0) gl.DeleteRenderbuffers(1, &depth_);
    framebuffer_ = colour_ = depth_ = 0;
}

}  // namespace gl
