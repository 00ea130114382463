#include "recording_device.h"

#include <sstream>

namespace scene_test {

HRESULT FakeBuffer::Lock(UINT offset, UINT size, void** data, DWORD) {
    if (lockFails_) return D3DERR_INVALIDCALL;
    if (data == nullptr || offset > bytes.size() || size > bytes.size() - offset) return D3DERR_INVALIDCALL;
    *data = bytes.data() + offset;
    locked = true;
    return S_OK;
}

HRESULT FakeBuffer::Unlock() {
    if (!locked) return D3DERR_INVALIDCALL;
    locked = false;
    return S_OK;
}

HRESULT FakeIndexBuffer::Lock(UINT offset, UINT size, void** data, DWORD) {
    if (data == nullptr || offset > bytes.size() || size > bytes.size() - offset) return D3DERR_INVALIDCALL;
    *data = bytes.data() + offset;
    return S_OK;
}

D3DMATRIX Identity() { return Translation(0.0f, 0.0f, 0.0f); }

D3DMATRIX Translation(float x, float y, float z) {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    m._41 = x;
    m._42 = y;
    m._43 = z;
    return m;
}

std::string Call(const std::string& name, std::initializer_list<DWORD> arguments) {
    std::ostringstream text;
    text << name << '(';
    const char* separator = "";
    for (DWORD argument : arguments) {
        text << separator << argument;
        separator = ",";
    }
    text << ')';
    return text.str();
}

RecordingDevice::RecordingDevice() : world(Identity()) {
    renderStates[D3DRS_LIGHTING] = TRUE;
    renderStates[D3DRS_CULLMODE] = D3DCULL_CCW;
    renderStates[D3DRS_ALPHATESTENABLE] = FALSE;
    renderStates[D3DRS_ALPHABLENDENABLE] = FALSE;
}

RecordingDevice::~RecordingDevice() = default;

std::string RecordingDevice::NameOf(const void* object) const {
    if (object == nullptr) return "null";
    auto found = names_.find(object);
    return found == names_.end() ? "?" : found->second;
}

std::vector<std::string> RecordingDevice::CallsStartingWith(const std::string& prefix) const {
    std::vector<std::string> matching;
    for (const std::string& call : calls)
        if (call.rfind(prefix, 0) == 0) matching.push_back(call);
    return matching;
}

void RecordingDevice::Record(const std::string& name, std::initializer_list<std::string> arguments) {
    std::string text = name + "(";
    const char* separator = "";
    for (const std::string& argument : arguments) {
        text += separator + argument;
        separator = ",";
    }
    calls.push_back(text + ")");
}

void RecordingDevice::RecordDraw(const std::string& call) {
    calls.push_back(call);
    draws.push_back({call, world, material, textures[0], textures[1], renderStates});
}

HRESULT RecordingDevice::CreateVertexBuffer(UINT length, DWORD, DWORD, D3DPOOL, IDirect3DVertexBuffer9** buffer,
                                            HANDLE*) {
    if (failures.createVertexBuffer) return D3DERR_OUTOFVIDEOMEMORY;
    vertexBuffers.push_back(std::make_unique<FakeBuffer>(length, failures.lockVertexBuffer));
    *buffer = vertexBuffers.back().get();
    return S_OK;
}

HRESULT RecordingDevice::CreateIndexBuffer(UINT length, DWORD, D3DFORMAT, D3DPOOL, IDirect3DIndexBuffer9** buffer,
                                           HANDLE*) {
    indexBuffers.push_back(std::make_unique<FakeIndexBuffer>(length));
    *buffer = indexBuffers.back().get();
    return S_OK;
}

HRESULT RecordingDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
    Record("SetTransform", {std::to_string(state)});
    if (state == D3DTS_WORLD) world = *matrix;
    return S_OK;
}

HRESULT RecordingDevice::SetMaterial(const D3DMATERIAL9* m) {
    Record("SetMaterial", {});
    material = *m;
    return S_OK;
}

HRESULT RecordingDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    calls.push_back(Call("SetRenderState", {state, value}));
    renderStates[state] = value;
    return S_OK;
}

HRESULT RecordingDevice::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
    calls.push_back(Call("GetRenderState", {state}));
    *value = renderStates[state];
    return S_OK;
}

HRESULT RecordingDevice::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
    Record("SetTexture", {std::to_string(stage), NameOf(texture)});
    if (stage < 2) textures[stage] = texture;
    return S_OK;
}

HRESULT RecordingDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    calls.push_back(Call("SetTextureStageState", {stage, type, value}));
    return S_OK;
}

HRESULT RecordingDevice::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
    calls.push_back(Call("SetSamplerState", {sampler, type, value}));
    samplerStates[{sampler, type}] = value;
    return S_OK;
}

HRESULT RecordingDevice::DrawPrimitive(D3DPRIMITIVETYPE type, UINT start, UINT count) {
    RecordDraw(Call("DrawPrimitive", {type, start, count}));
    return S_OK;
}

HRESULT RecordingDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT base, UINT minimum, UINT count, UINT start,
                                              UINT primitives) {
    RecordDraw(Call("DrawIndexedPrimitive", {type, static_cast<DWORD>(base), minimum, count, start, primitives}));
    return S_OK;
}

HRESULT RecordingDevice::SetFVF(DWORD fvf) {
    calls.push_back(Call("SetFVF", {fvf}));
    return S_OK;
}

HRESULT RecordingDevice::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) {
    Record("SetStreamSource", {std::to_string(stream), NameOf(buffer), std::to_string(offset), std::to_string(stride)});
    return S_OK;
}

HRESULT RecordingDevice::SetIndices(IDirect3DIndexBuffer9* indices) {
    Record("SetIndices", {NameOf(indices)});
    return S_OK;
}

}  // namespace scene_test
