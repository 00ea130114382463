#include "platform/gl/device.h"

#include <malloc.h>

#include <cstdio>
#include <new>

#include "platform/gl/buffers.h"
#include "platform/gl/caps.h"
#include "platform/gl/texture.h"

namespace gl {
namespace {

// A software driver allocates and frees its per-frame buffers (binned triangles, vertex copies,
// several megabytes) every frame. By default the C library hands such memory back to the system
// as soon as it is free, and the next frame faults every page in and zeroes it again (on
// llvmpipe, a quarter of the viewer's overview frame). Keeping freed memory in the process costs
// about a megabyte of peak memory, since the next frame reuses it. Process-wide, and set once: a
// program that makes an OpenGL device wants it from then on.
void KeepFreedMemory() {
    static const bool kept = [] {
        constexpr int kTrimThreshold = 256 << 20;  // give back only beyond this much free at the top
        constexpr int kMmapThreshold = 32 << 20;   // the largest the C library allows
        return mallopt(M_TRIM_THRESHOLD, kTrimThreshold) == 1 && mallopt(M_MMAP_THRESHOLD, kMmapThreshold) == 1;
    }();
    (void)kept;
}

// Programs made while the device is created: a driver that cannot compile the generated code
// is found out there, where the adapter's caller can still take the reference device, and the
// first frame compiles nothing. They are the viewer's three kinds of draw, each as the state it
// sets: lit, one texture's alpha then the diffuse colour times a second texture; unlit, one
// texture, alpha-tested; unlit, one texture times a second.
device_common::ApiState LitAlphaThenModulatedTexture(const device_common::ApiState& defaults) {
    device_common::ApiState state = defaults;
    D3DLIGHT9 sun{};
    sun.Type = D3DLIGHT_DIRECTIONAL;
    sun.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
    sun.Direction = {0.0f, -1.0f, 0.0f};
    state.lights.push_back(device_common::LightSlot{sun, true});
    state.stage[1][D3DTSS_COLOROP] = D3DTOP_MODULATE;
    state.stage[1][D3DTSS_COLORARG1] = D3DTA_DIFFUSE;
    state.stage[1][D3DTSS_COLORARG2] = D3DTA_TEXTURE;
    state.stage[1][D3DTSS_TEXCOORDINDEX] = 1;
    return state;
}

device_common::ApiState UnlitAlphaTestedTexture(const device_common::ApiState& defaults) {
    device_common::ApiState state = defaults;
    state.render[D3DRS_LIGHTING] = FALSE;
    state.render[D3DRS_ALPHATESTENABLE] = TRUE;
    state.render[D3DRS_ALPHAFUNC] = D3DCMP_GREATEREQUAL;
    return state;
}

device_common::ApiState UnlitTextureTimesTexture(const device_common::ApiState& defaults) {
    device_common::ApiState state = defaults;
    state.render[D3DRS_LIGHTING] = FALSE;
    state.stage[1][D3DTSS_COLOROP] = D3DTOP_MODULATE;
    state.stage[1][D3DTSS_COLORARG1] = D3DTA_CURRENT;
    state.stage[1][D3DTSS_COLORARG2] = D3DTA_TEXTURE;
    state.stage[1][D3DTSS_TEXCOORDINDEX] = 1;
    return state;
}

std::array<ProgramKey, 3> WarmUpKeys(const device_common::ApiState& defaults) {
    device_common::VertexLayout twoSets, oneSet;
    device_common::DescribeVertices(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX2, twoSets);
    device_common::DescribeVertices(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1, oneSet);
    const bool textured[kStages] = {true, true};
    return {MakeProgramKey(LitAlphaThenModulatedTexture(defaults), twoSets, textured),
            MakeProgramKey(UnlitAlphaTestedTexture(defaults), oneSet, textured),
            MakeProgramKey(UnlitTextureTimesTexture(defaults), twoSets, textured)};
}

}  // namespace

HRESULT Device::Create(IDirect3D9* adapter, HWND window, DWORD behaviorFlags, const D3DPRESENT_PARAMETERS& parameters,
                       UINT width, UINT height, IDirect3DDevice9** device) {
    KeepFreedMemory();
    auto* created = new (std::nothrow) Device(adapter, window, behaviorFlags, parameters, width, height);
    if (created == nullptr) return E_OUTOFMEMORY;
    std::string why;
    if (!created->Initialise(&why)) {
        std::fprintf(stderr, "OpenGL device: %s; the hardware device cannot be created\n", why.c_str());
        created->Release();
        return D3DERR_NOTAVAILABLE;
    }
    *device = created;
    return D3D_OK;
}

Device::Device(IDirect3D9* adapter, HWND window, DWORD behaviorFlags, const D3DPRESENT_PARAMETERS& parameters,
               UINT width, UINT height)
    : DeviceBase(adapter, D3DDEVTYPE_HAL, window, behaviorFlags, parameters, width, height) {}

bool Device::Initialise(std::string* why) {
    context_ = Context::Create(window_, why);
    if (context_ == nullptr) return false;
    Functions& gl = context_->Gl();
    info_ = Describe(gl);
    if (!Usable(info_, why)) return false;
    cache_ = std::make_unique<StateCache>(gl);
    cache_->Invalidate();
    programs_ = std::make_unique<ProgramCache>(gl);
    if (!target_.Create(gl, static_cast<int>(parameters_.BackBufferWidth),
                        static_cast<int>(parameters_.BackBufferHeight), parameters_.BackBufferFormat,
                        parameters_.EnableAutoDepthStencil != FALSE, parameters_.AutoDepthStencilFormat, why))
        return false;
    cache_->BindFramebuffer(target_.Framebuffer());
    gl.GenVertexArrays(1, &vertexArray_);
    gl.BindVertexArray(vertexArray_);
    gl.GenBuffers(2, constantBuffers_.data());
    const GLsizeiptr blockSizes[2] = {sizeof(TransformConstants), sizeof(ShadingConstants)};
    for (unsigned binding : {kTransformBinding, kShadingBinding}) {
        cache_->BindBuffer(GL_UNIFORM_BUFFER, constantBuffers_[binding]);
        gl.BufferData(GL_UNIFORM_BUFFER, blockSizes[binding], nullptr, GL_DYNAMIC_DRAW);
        gl.BindBufferBase(GL_UNIFORM_BUFFER, binding, constantBuffers_[binding]);
    }
    gl.GenSamplers(kStages, samplers_.data());
    for (DWORD s = 0; s < kStages; ++s) {
        UpdateSampler(s, true);
        cache_->BindSampler(static_cast<int>(s), samplers_[s]);
    }
    gl.FrontFace(GL_CCW);
    gl.ProvokingVertex(GL_FIRST_VERTEX_CONVENTION);  // flat shading takes the first vertex, as Direct3D does
    gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);          // texture rows are packed (L8 rows of 1 or 2 bytes)
    // The buffers start as the reference device's do: black, and depth at the far plane.
    cache_->ColourMask(0xF);
    cache_->DepthMask(true);
    cache_->Scissor(false);
    cache_->ClearValues({0.0f, 0.0f, 0.0f, 0.0f}, 1.0, 0);
    gl.Clear(GL_COLOR_BUFFER_BIT | (target_.HasDepth() ? GL_DEPTH_BUFFER_BIT : 0));
    if (!WarmUp(why)) return false;
    compiledBeforeFrame_ = programs_->Compiled();  // the first frame counts only its own
    const GLenum error = gl.GetError();
    if (error == GL_NO_ERROR) return true;
    if (why != nullptr) *why = "OpenGL reported error " + std::to_string(error) + " while the device was set up";
    return false;
}

bool Device::WarmUp(std::string* why) {
    for (const ProgramKey& key : WarmUpKeys(state_)) {
        if (programs_->Find(key) != 0) continue;
        if (why != nullptr) *why = "the generated shaders do not compile on \"" + info_.renderer + "\"";
        return false;
    }
    return true;
}

Device::~Device() {
    ReleaseBindingsAndDetach();  // the resources' GL objects go with the context
    if (context_ != nullptr && context_->Bind()) {
        Functions& gl = context_->Gl();
        programs_.reset();
        target_.Destroy(gl);
        if (vertexArray_ != 0) gl.DeleteVertexArrays(1, &vertexArray_);
        if (constantBuffers_[0] != 0) gl.DeleteBuffers(2, constantBuffers_.data());
        if (filteredBuffer_ != 0) gl.DeleteBuffers(1, &filteredBuffer_);
        if (samplers_[0] != 0) gl.DeleteSamplers(kStages, samplers_.data());
        if (previousFrame_ != nullptr) gl.DeleteSync(previousFrame_);
    }
    programs_.reset();
    context_.reset();
}

bool Device::Bind() { return context_ != nullptr && context_->Bind(); }

void Device::FillCaps(D3DCAPS9& caps) { gl::FillCaps(caps); }

bool Device::SupportsTextureFormat(D3DFORMAT format) { return IsTextureFormat(info_, format); }

device_common::TextureBase* Device::MakeTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                                D3DPOOL pool) {
    return new (std::nothrow) Texture(Link(), width, height, levels, usage, format, pool);
}

// GL objects are made when a draw first needs them.
device_common::VertexBufferBase* Device::MakeVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool) {
    return new (std::nothrow) VertexBuffer(Link(), length, usage, fvf, pool);
}

device_common::IndexBufferBase* Device::MakeIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool) {
    return new (std::nothrow) IndexBuffer(Link(), length, usage, format, pool);
}

void Device::DeleteBuffer(GLuint buffer) {
    if (buffer == 0 || !Bind()) return;
    cache_->ForgetBuffer(buffer);
    if (vertexInput_.buffer == buffer) vertexInputKnown_ = false;  // its name may come back
    context_->Gl().DeleteBuffers(1, &buffer);
}

void Device::DeleteTexture(GLuint texture) {
    if (texture == 0 || !Bind()) return;
    cache_->ForgetTexture(texture);
    context_->Gl().DeleteTextures(1, &texture);
}

void Device::SetStateFiltering(bool filtering) {
    filtering_ = filtering;
    cache_->SetFiltering(filtering);
}

}  // namespace gl
