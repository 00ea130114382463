#include "platform/gl/gl_functions.h"

#include "platform/win32/window_surface.h"

namespace gl {

const char* GlFunctionName(std::size_t function) {
    static const char* const kNames[] = {
#define QUENOLDE_GL_NAME(Name, NAME) "gl" #Name,
        QUENOLDE_GL_FUNCTIONS(QUENOLDE_GL_NAME)
#undef QUENOLDE_GL_NAME
    };
    return function < kGlFunctionCount ? kNames[function] : "";
}

std::uint64_t CallCounts::Total() const {
    std::uint64_t total = 0;
    for (std::uint32_t count : calls) total += count;
    return total;
}

bool Functions::Load(win32::GlContext& context, std::string* why) {
    std::string missing;
#define QUENOLDE_GL_LOAD(Name, NAME)                                                    \
    gl##Name##_ = reinterpret_cast<PFNGL##NAME##PROC>(context.ProcAddress("gl" #Name)); \
    if (gl##Name##_ == nullptr) missing += (missing.empty() ? "gl" : ", gl") + std::string(#Name);
    QUENOLDE_GL_FUNCTIONS(QUENOLDE_GL_LOAD)
#undef QUENOLDE_GL_LOAD
    if (missing.empty()) return true;
    if (why != nullptr) *why = "missing OpenGL functions: " + missing;
    return false;
}

}  // namespace gl
