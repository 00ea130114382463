#pragma once
// The OpenGL entry points the device calls, loaded through the context's own lookup (there is
// no GL library to link against: SDL's and EGL's contexts each hand out their functions). Every
// call goes through a wrapper that counts it, so a frame's real GL calls can be reported.

#include <GL/glcorearb.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace win32 {
class GlContext;
}

namespace gl {

// X(Name, NAME): the function glName of type PFNGLNAMEPROC.
#define QUENOLDE_GL_FUNCTIONS(X)                          \
    X(GetError, GETERROR)                                 \
    X(GetString, GETSTRING)                               \
    X(GetStringi, GETSTRINGI)                             \
    X(GetIntegerv, GETINTEGERV)                           \
    X(Enable, ENABLE)                                     \
    X(Disable, DISABLE)                                   \
    X(BlendFuncSeparate, BLENDFUNCSEPARATE)               \
    X(BlendEquationSeparate, BLENDEQUATIONSEPARATE)       \
    X(DepthFunc, DEPTHFUNC)                               \
    X(DepthMask, DEPTHMASK)                               \
    X(DepthRange, DEPTHRANGE)                             \
    X(ColorMask, COLORMASK)                               \
    X(CullFace, CULLFACE)                                 \
    X(FrontFace, FRONTFACE)                               \
    X(ProvokingVertex, PROVOKINGVERTEX)                   \
    X(Viewport, VIEWPORT)                                 \
    X(Scissor, SCISSOR)                                   \
    X(ClearColor, CLEARCOLOR)                             \
    X(ClearDepth, CLEARDEPTH)                             \
    X(ClearStencil, CLEARSTENCIL)                         \
    X(Clear, CLEAR)                                       \
    X(StencilMask, STENCILMASK)                           \
    X(Finish, FINISH)                                     \
    X(FenceSync, FENCESYNC)                               \
    X(ClientWaitSync, CLIENTWAITSYNC)                     \
    X(DeleteSync, DELETESYNC)                             \
    X(GenFramebuffers, GENFRAMEBUFFERS)                   \
    X(DeleteFramebuffers, DELETEFRAMEBUFFERS)             \
    X(BindFramebuffer, BINDFRAMEBUFFER)                   \
    X(FramebufferRenderbuffer, FRAMEBUFFERRENDERBUFFER)   \
    X(CheckFramebufferStatus, CHECKFRAMEBUFFERSTATUS)     \
    X(GenRenderbuffers, GENRENDERBUFFERS)                 \
    X(DeleteRenderbuffers, DELETERENDERBUFFERS)           \
    X(BindRenderbuffer, BINDRENDERBUFFER)                 \
    X(RenderbufferStorage, RENDERBUFFERSTORAGE)           \
    X(ReadBuffer, READBUFFER)                             \
    X(ReadPixels, READPIXELS)                             \
    X(PixelStorei, PIXELSTOREI)                           \
    X(GenBuffers, GENBUFFERS)                             \
    X(DeleteBuffers, DELETEBUFFERS)                       \
    X(BindBuffer, BINDBUFFER)                             \
    X(BufferData, BUFFERDATA)                             \
    X(BufferSubData, BUFFERSUBDATA)                       \
    X(BindBufferBase, BINDBUFFERBASE)                     \
    X(GenVertexArrays, GENVERTEXARRAYS)                   \
    X(DeleteVertexArrays, DELETEVERTEXARRAYS)             \
    X(BindVertexArray, BINDVERTEXARRAY)                   \
    X(EnableVertexAttribArray, ENABLEVERTEXATTRIBARRAY)   \
    X(DisableVertexAttribArray, DISABLEVERTEXATTRIBARRAY) \
    X(VertexAttribPointer, VERTEXATTRIBPOINTER)           \
    X(DrawArrays, DRAWARRAYS)                             \
    X(DrawElementsBaseVertex, DRAWELEMENTSBASEVERTEX)     \
    X(CreateShader, CREATESHADER)                         \
    X(ShaderSource, SHADERSOURCE)                         \
    X(CompileShader, COMPILESHADER)                       \
    X(GetShaderiv, GETSHADERIV)                           \
    X(GetShaderInfoLog, GETSHADERINFOLOG)                 \
    X(DeleteShader, DELETESHADER)                         \
    X(CreateProgram, CREATEPROGRAM)                       \
    X(AttachShader, ATTACHSHADER)                         \
    X(BindAttribLocation, BINDATTRIBLOCATION)             \
    X(BindFragDataLocation, BINDFRAGDATALOCATION)         \
    X(LinkProgram, LINKPROGRAM)                           \
    X(GetProgramiv, GETPROGRAMIV)                         \
    X(GetProgramInfoLog, GETPROGRAMINFOLOG)               \
    X(DeleteProgram, DELETEPROGRAM)                       \
    X(UseProgram, USEPROGRAM)                             \
    X(GetUniformLocation, GETUNIFORMLOCATION)             \
    X(Uniform1i, UNIFORM1I)                               \
    X(GetUniformBlockIndex, GETUNIFORMBLOCKINDEX)         \
    X(UniformBlockBinding, UNIFORMBLOCKBINDING)           \
    X(GenTextures, GENTEXTURES)                           \
    X(DeleteTextures, DELETETEXTURES)                     \
    X(BindTexture, BINDTEXTURE)                           \
    X(ActiveTexture, ACTIVETEXTURE)                       \
    X(TexImage2D, TEXIMAGE2D)                             \
    X(TexSubImage2D, TEXSUBIMAGE2D)                       \
    X(CompressedTexImage2D, COMPRESSEDTEXIMAGE2D)         \
    X(TexParameteri, TEXPARAMETERI)                       \
    X(TexParameteriv, TEXPARAMETERIV)                     \
    X(GenSamplers, GENSAMPLERS)                           \
    X(DeleteSamplers, DELETESAMPLERS)                     \
    X(BindSampler, BINDSAMPLER)                           \
    X(SamplerParameteri, SAMPLERPARAMETERI)               \
    X(SamplerParameterf, SAMPLERPARAMETERF)               \
    X(SamplerParameterfv, SAMPLERPARAMETERFV)

// Each function's place in the per-function counts.
enum class GlFunction : std::uint8_t {
#define QUENOLDE_GL_ENUMERATOR(Name, NAME) Name,
    QUENOLDE_GL_FUNCTIONS(QUENOLDE_GL_ENUMERATOR)
#undef QUENOLDE_GL_ENUMERATOR
};
#define QUENOLDE_GL_ONE(Name, NAME) +1
constexpr std::size_t kGlFunctionCount = 0 QUENOLDE_GL_FUNCTIONS(QUENOLDE_GL_ONE);
#undef QUENOLDE_GL_ONE

// "glName" of a function.
const char* GlFunctionName(std::size_t function);

// GL calls by function, and the bytes of vertices, indices, constants and texels handed to GL.
struct CallCounts {
    std::array<std::uint32_t, kGlFunctionCount> calls{};
    std::uint64_t bytesUploaded = 0;

    std::uint64_t Total() const;
    std::uint32_t Of(GlFunction function) const { return calls[static_cast<std::size_t>(function)]; }
};

class Functions {
public:
    // Fills the table from the current context. False, with the missing names in `why`, when
    // this GL lacks any of them.
    bool Load(win32::GlContext& context, std::string* why);

    // GL calls made through this table, and bytes uploaded, since the last ResetCounts.
    const CallCounts& Counts() const { return counts_; }
    void ResetCounts() { counts_ = CallCounts{}; }
    // Called with each upload's size by the code that makes it.
    void CountUpload(std::size_t bytes) { counts_.bytesUploaded += bytes; }

#define QUENOLDE_GL_WRAPPER(Name, NAME)                              \
    template <class... Args>                                         \
    auto Name(Args... args) {                                        \
        ++counts_.calls[static_cast<std::size_t>(GlFunction::Name)]; \
        return gl##Name##_(args...);                                 \
    }
    QUENOLDE_GL_FUNCTIONS(QUENOLDE_GL_WRAPPER)
#undef QUENOLDE_GL_WRAPPER

private:
#define QUENOLDE_GL_POINTER(Name, NAME) PFNGL##NAME##PROC gl##Name##_ = nullptr;
    QUENOLDE_GL_FUNCTIONS(QUENOLDE_GL_POINTER)
#undef QUENOLDE_GL_POINTER

    CallCounts counts_;
};

}  // namespace gl
