#pragma once
// Which OpenGL the window layer gives, and whether the hardware device may run on it. The
// answer is learnt once per process, on a context made only for the question and then dropped.

#include <string>

#include "platform/gl/gl_functions.h"

namespace gl {

struct GlInfo {
    std::string renderer;
    std::string version;
    int major = 0;
    int minor = 0;
    bool software = false;  // llvmpipe, softpipe, swrast and the like
    bool s3tc = false;      // GL_EXT_texture_compression_s3tc: DXT textures can be sampled
};

// Reads the information of the current context.
GlInfo Describe(Functions& gl);

// The backend's OpenGL, probed on first call; null when no context could be made (said once on
// standard error).
const GlInfo* ProbedGl();

// Software OpenGL counts as a hardware device only when QUENOLDE_GL_ALLOW_SOFTWARE=1: tests and
// tools use it on machines without a GPU; the viewer must then take the reference device.
bool SoftwareAllowed();

// Whether the hardware device may run on `info`; when not, `why` says what is missing.
bool Usable(const GlInfo& info, std::string* why);

}  // namespace gl
