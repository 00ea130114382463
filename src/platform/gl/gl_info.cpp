#include "platform/gl/gl_info.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/gl/context.h"

namespace gl {
namespace {

std::string Text(Functions& gl, GLenum name) {
    const GLubyte* text = gl.GetString(name);
    return text != nullptr ? reinterpret_cast<const char*>(text) : "";
}

bool HasExtension(Functions& gl, const char* name) {
    GLint count = 0;
    gl.GetIntegerv(GL_NUM_EXTENSIONS, &count);
    for (GLint i = 0; i < count; ++i) {
        const GLubyte* extension = gl.GetStringi(GL_EXTENSIONS, static_cast<GLuint>(i));
        if (extension != nullptr && std::strcmp(reinterpret_cast<const char*>(extension), name) == 0) return true;
    }
    return false;
}

bool LooksLikeSoftware(const std::string& renderer) {
    for (const char* name : {"llvmpipe", "softpipe", "swrast", "Software", "software"})
        if (renderer.find(name) != std::string::npos) return true;
    return false;
}

const GlInfo* Probe() {
    std::string why;
    std::unique_ptr<Context> context = Context::Create(nullptr, &why);
    if (context == nullptr) {
        std::fprintf(stderr, "OpenGL: no context can be made (%s); the hardware device is not offered\n", why.c_str());
        return nullptr;
    }
    static GlInfo info = Describe(context->Gl());
    return &info;
}

}  // namespace

GlInfo Describe(Functions& gl) {
    GlInfo info;
    info.renderer = Text(gl, GL_RENDERER);
    info.version = Text(gl, GL_VERSION);
    gl.GetIntegerv(GL_MAJOR_VERSION, &info.major);
    gl.GetIntegerv(GL_MINOR_VERSION, &info.minor);
    info.software = LooksLikeSoftware(info.renderer);
    info.s3tc = HasExtension(gl, "GL_EXT_texture_compression_s3tc");
    return info;
}

const GlInfo* ProbedGl() {
    static const GlInfo* const probed = Probe();
    return probed;
}

bool SoftwareAllowed() {
    const char* allow = std::getenv("QUENOLDE_GL_ALLOW_SOFTWARE");
    return allow != nullptr && std::strcmp(allow, "1") == 0;
}

bool Usable(const GlInfo& info, std::string* why) {
    if (info.major < 3 || (info.major == 3 && info.minor < 3)) {
        if (why != nullptr) *why = "OpenGL " + info.version + " is older than 3.3";
        return false;
    }
    if (info.software && !SoftwareAllowed()) {
        if (why != nullptr)
            *why = "the OpenGL renderer \"" + info.renderer +
                   "\" is a software rasteriser (QUENOLDE_GL_ALLOW_SOFTWARE=1 uses it anyway)";
        return false;
    }
    return true;
}

}  // namespace gl
