#include "platform/device_common/device_base.h"

namespace device_common {
namespace {

D3DMATRIX* TransformSlot(ApiState& state, D3DTRANSFORMSTATETYPE which) {
    if (which == D3DTS_VIEW) return &state.view;
    if (which == D3DTS_PROJECTION) return &state.projection;
    if (which >= D3DTS_TEXTURE0 && which < D3DTS_TEXTURE0 + kStageCount)
        return &state.textureMatrix[which - D3DTS_TEXTURE0];
    if (which >= D3DTS_WORLD && which < D3DTS_WORLD + kWorldMatrixCount) return &state.world[which - D3DTS_WORLD];
    return nullptr;
}

D3DLIGHT9 DefaultLight() {
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
    light.Direction = {0.0f, 0.0f, 1.0f};
    return light;
}

bool LightIsValid(const D3DLIGHT9& light) {
    if (light.Type < D3DLIGHT_POINT || light.Type > D3DLIGHT_DIRECTIONAL) return false;
    if (light.Type != D3DLIGHT_DIRECTIONAL && light.Range < 0.0f) return false;
    if (light.Type != D3DLIGHT_POINT) {
        const D3DVECTOR& d = light.Direction;
        if (d.x == 0.0f && d.y == 0.0f && d.z == 0.0f) return false;
    }
    return true;
}

// A texture this device made, in a pool it samples from.
bool Sampleable(const DeviceBase* device, IDirect3DBaseTexture9* texture) {
    const OwnedResource* ours = OwnedBy(device, texture);
    return ours != nullptr && ours->Pool() != D3DPOOL_SYSTEMMEM && ours->Pool() != D3DPOOL_SCRATCH;
}

}  // namespace

OwnedResource* OwnedBy(const DeviceBase* device, IUnknown* object) {
    auto* resource = dynamic_cast<OwnedResource*>(object);
    return resource != nullptr && resource->BelongsTo(device) ? resource : nullptr;
}

HRESULT HandOutDevice(DeviceBase* device, IDirect3DDevice9** out) {
    if (out == nullptr) return D3DERR_INVALIDCALL;
    *out = device;
    if (device == nullptr) return D3DERR_INVALIDCALL;
    device->AddRef();
    return D3D_OK;
}

DeviceBase::DeviceBase(IDirect3D9* adapter, D3DDEVTYPE type, HWND window, DWORD behaviorFlags,
                       const D3DPRESENT_PARAMETERS& parameters, UINT width, UINT height)
    : adapter_(adapter),
      type_(type),
      window_(window),
      behaviorFlags_(behaviorFlags),
      parameters_(parameters),
      link_(std::make_shared<DeviceLink>()) {
    link_->device = this;
    parameters_.BackBufferWidth = width;
    parameters_.BackBufferHeight = height;
    if (adapter_ != nullptr) adapter_->AddRef();
    ResetToDefaults(state_, width, height, parameters.EnableAutoDepthStencil != FALSE);
}

DeviceBase::~DeviceBase() {
    link_->device = nullptr;
    if (adapter_ != nullptr) adapter_->Release();
}

HRESULT DeviceBase::QueryInterface(REFIID iid, void** out) {
    return AnswerQuery(iid, out, {&IID_IUnknown, &IID_IDirect3DDevice9});
}

HRESULT DeviceBase::GetDirect3D(IDirect3D9** d3d) {
    if (d3d == nullptr) return D3DERR_INVALIDCALL;
    *d3d = adapter_;
    if (adapter_ == nullptr) return D3DERR_INVALIDCALL;
    adapter_->AddRef();
    return D3D_OK;
}

HRESULT DeviceBase::GetDisplayMode(UINT swapChain, D3DDISPLAYMODE* mode) {
    if (mode == nullptr || swapChain != 0) return D3DERR_INVALIDCALL;
    *mode = {parameters_.BackBufferWidth, parameters_.BackBufferHeight, 60, D3DFMT_X8R8G8B8};
    return D3D_OK;
}

HRESULT DeviceBase::GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* parameters) {
    if (parameters == nullptr) return D3DERR_INVALIDCALL;
    *parameters = {0, type_, window_, behaviorFlags_};
    return D3D_OK;
}

HRESULT DeviceBase::BeginScene() {
    if (inScene_) return D3DERR_INVALIDCALL;
    inScene_ = true;
    return D3D_OK;
}

HRESULT DeviceBase::EndScene() {
    if (!inScene_) return D3DERR_INVALIDCALL;
    inScene_ = false;
    return D3D_OK;
}

void DeviceBase::ReleaseBindingsAndDetach() {
    for (auto& stream : state_.streams) Rebind(stream.buffer, static_cast<IDirect3DVertexBuffer9*>(nullptr));
    Rebind(state_.indices, static_cast<IDirect3DIndexBuffer9*>(nullptr));
    for (auto& texture : state_.textures) Rebind(texture, static_cast<IDirect3DBaseTexture9*>(nullptr));
    link_->device = nullptr;
}

HRESULT DeviceBase::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
    D3DMATRIX* slot = TransformSlot(state_, state);
    if (slot == nullptr || matrix == nullptr) return D3DERR_INVALIDCALL;
    *slot = *matrix;
    return D3D_OK;
}

HRESULT DeviceBase::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
    D3DMATRIX* slot = TransformSlot(state_, state);
    if (slot == nullptr || matrix == nullptr) return D3DERR_INVALIDCALL;
    *matrix = *slot;
    return D3D_OK;
}

HRESULT DeviceBase::SetViewport(const D3DVIEWPORT9* viewport) {
    if (viewport == nullptr) return D3DERR_INVALIDCALL;
    // The viewport must lie inside the back buffer and have a sane depth range.
    UINT width = parameters_.BackBufferWidth, height = parameters_.BackBufferHeight;
    if (viewport->Width == 0 || viewport->Height == 0 || viewport->X > width || viewport->Y > height ||
        viewport->Width > width - viewport->X || viewport->Height > height - viewport->Y)
        return D3DERR_INVALIDCALL;
    if (!(viewport->MinZ >= 0.0f && viewport->MaxZ <= 1.0f && viewport->MinZ <= viewport->MaxZ))
        return D3DERR_INVALIDCALL;
    state_.viewport = *viewport;
    return D3D_OK;
}

HRESULT DeviceBase::GetViewport(D3DVIEWPORT9* viewport) {
    if (viewport == nullptr) return D3DERR_INVALIDCALL;
    *viewport = state_.viewport;
    return D3D_OK;
}

HRESULT DeviceBase::SetMaterial(const D3DMATERIAL9* material) {
    if (material == nullptr) return D3DERR_INVALIDCALL;
    state_.material = *material;
    return D3D_OK;
}

HRESULT DeviceBase::GetMaterial(D3DMATERIAL9* material) {
    if (material == nullptr) return D3DERR_INVALIDCALL;
    *material = state_.material;
    return D3D_OK;
}

HRESULT DeviceBase::SetLight(DWORD index, const D3DLIGHT9* light) {
    if (light == nullptr || index >= kMaxLightIndex || !LightIsValid(*light)) return D3DERR_INVALIDCALL;
    if (index >= state_.lights.size()) state_.lights.resize(index + 1, LightSlot{D3DLIGHT9{}, false});
    state_.lights[index].light = *light;
    return D3D_OK;
}

HRESULT DeviceBase::GetLight(DWORD index, D3DLIGHT9* light) {
    if (light == nullptr || index >= state_.lights.size() || state_.lights[index].light.Type == 0)
        return D3DERR_INVALIDCALL;
    *light = state_.lights[index].light;
    return D3D_OK;
}

HRESULT DeviceBase::LightEnable(DWORD index, BOOL enable) {
    if (index >= kMaxLightIndex) return D3DERR_INVALIDCALL;
    if (index >= state_.lights.size()) state_.lights.resize(index + 1, LightSlot{D3DLIGHT9{}, false});
    // Enabling a light that was never set gives it the default white directional light.
    LightSlot& slot = state_.lights[index];
    if (slot.light.Type == 0) slot.light = DefaultLight();
    slot.enabled = enable != FALSE;
    return D3D_OK;
}

HRESULT DeviceBase::GetLightEnable(DWORD index, BOOL* enable) {
    if (enable == nullptr || index >= state_.lights.size() || state_.lights[index].light.Type == 0)
        return D3DERR_INVALIDCALL;
    *enable = state_.lights[index].enabled ? TRUE : FALSE;
    return D3D_OK;
}

HRESULT DeviceBase::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    if (state >= D3DRS_COUNT) return D3DERR_INVALIDCALL;
    state_.render[state] = value;
    return D3D_OK;
}

HRESULT DeviceBase::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
    if (state >= D3DRS_COUNT || value == nullptr) return D3DERR_INVALIDCALL;
    *value = state_.render[state];
    return D3D_OK;
}

HRESULT DeviceBase::GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) {
    if (texture == nullptr || stage >= kStageCount) return D3DERR_INVALIDCALL;
    *texture = state_.textures[stage];
    if (*texture != nullptr) (*texture)->AddRef();
    return D3D_OK;
}

HRESULT DeviceBase::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
    if (stage >= kStageCount) return D3DERR_INVALIDCALL;
    if (texture != nullptr && !Sampleable(this, texture)) return D3DERR_INVALIDCALL;
    Rebind(state_.textures[stage], texture);
    return D3D_OK;
}

HRESULT DeviceBase::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
    if (stage >= kStageCount || type >= D3DTSS_COUNT || value == nullptr) return D3DERR_INVALIDCALL;
    *value = state_.stage[stage][type];
    return D3D_OK;
}

HRESULT DeviceBase::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    if (stage >= kStageCount || type >= D3DTSS_COUNT) return D3DERR_INVALIDCALL;
    state_.stage[stage][type] = value;
    return D3D_OK;
}

HRESULT DeviceBase::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) {
    if (sampler >= kSamplerCount || type >= D3DSAMP_COUNT || value == nullptr) return D3DERR_INVALIDCALL;
    *value = state_.sampler[sampler][type];
    return D3D_OK;
}

HRESULT DeviceBase::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
    if (sampler >= kSamplerCount || type >= D3DSAMP_COUNT) return D3DERR_INVALIDCALL;
    state_.sampler[sampler][type] = value;
    return D3D_OK;
}

HRESULT DeviceBase::SetFVF(DWORD fvf) {
    state_.fvf = fvf;
    return D3D_OK;
}

HRESULT DeviceBase::GetFVF(DWORD* fvf) {
    if (fvf == nullptr) return D3DERR_INVALIDCALL;
    *fvf = state_.fvf;
    return D3D_OK;
}

HRESULT DeviceBase::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) {
    if (stream >= kStreamCount) return D3DERR_INVALIDCALL;
    if (buffer != nullptr && OwnedBy(this, buffer) == nullptr) return D3DERR_INVALIDCALL;
    StreamBinding& binding = state_.streams[stream];
    Rebind(binding.buffer, buffer);
    binding.offset = offset;
    binding.stride = stride;
    return D3D_OK;
}

HRESULT DeviceBase::GetStreamSource(UINT stream, IDirect3DVertexBuffer9** buffer, UINT* offset, UINT* stride) {
    if (stream >= kStreamCount || buffer == nullptr || offset == nullptr || stride == nullptr)
        return D3DERR_INVALIDCALL;
    const StreamBinding& binding = state_.streams[stream];
    *buffer = binding.buffer;
    if (*buffer != nullptr) (*buffer)->AddRef();
    *offset = binding.offset;
    *stride = binding.stride;
    return D3D_OK;
}

HRESULT DeviceBase::SetIndices(IDirect3DIndexBuffer9* indices) {
    if (indices != nullptr && OwnedBy(this, indices) == nullptr) return D3DERR_INVALIDCALL;
    Rebind(state_.indices, indices);
    return D3D_OK;
}

HRESULT DeviceBase::GetIndices(IDirect3DIndexBuffer9** indices) {
    if (indices == nullptr) return D3DERR_INVALIDCALL;
    *indices = state_.indices;
    if (*indices != nullptr) (*indices)->AddRef();
    return D3D_OK;
}

}  // namespace device_common
