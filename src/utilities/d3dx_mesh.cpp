// The mesh object: two buffers on one device and an attribute table.

#include "utilities/d3dx_mesh.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <new>
#include <vector>

#include "platform/device_common/vertex_layout.h"
#include "utilities/relacher.h"

namespace {

constexpr DWORD kOptionsConnues = D3DXMESH_32BIT | D3DXMESH_SYSTEMMEM | D3DXMESH_MANAGED;
constexpr DWORD kIndices16Max = 65536;

D3DPOOL PoolDesOptions(DWORD options) {
    if ((options & D3DXMESH_MANAGED) == D3DXMESH_MANAGED) return D3DPOOL_MANAGED;
    if ((options & D3DXMESH_SYSTEMMEM) == D3DXMESH_SYSTEMMEM) return D3DPOOL_SYSTEMMEM;
    return D3DPOOL_DEFAULT;
}

// Two pool bits that do not make one of the known pools are a caller's mistake.
bool OptionsValides(DWORD options) {
    if ((options & ~kOptionsConnues) != 0) return false;
    const DWORD pool = options & (D3DXMESH_SYSTEMMEM | D3DXMESH_MANAGED);
    return pool == 0 || pool == D3DXMESH_SYSTEMMEM || pool == D3DXMESH_MANAGED;
}

bool RangeDansLeMaillage(const D3DXATTRIBUTERANGE& range, DWORD nbFaces, DWORD nbSommets) {
    // In 64 bits, so that a start near 2^32 cannot wrap back inside.
    return static_cast<std::uint64_t>(range.FaceStart) + range.FaceCount <= nbFaces &&
           static_cast<std::uint64_t>(range.VertexStart) + range.VertexCount <= nbSommets;
}

class Maillage final : public ID3DXMesh {
public:
    Maillage(IDirect3DDevice9* device, DWORD nbFaces, DWORD nbSommets, DWORD options, DWORD fvf, UINT stride)
        : device_(device), nbFaces_(nbFaces), nbSommets_(nbSommets), options_(options), fvf_(fvf), stride_(stride) {
        device_->AddRef();
    }

    // Makes both buffers; on failure the mesh is released by its creator.
    HRESULT CreerBuffers() {
        const D3DPOOL pool = PoolDesOptions(options_);
        HRESULT hr = device_->CreateVertexBuffer(TailleSommets(), 0, fvf_, pool, &vertexBuffer_, nullptr);
        if (FAILED(hr)) return hr;
        const D3DFORMAT format = (options_ & D3DXMESH_32BIT) ? D3DFMT_INDEX32 : D3DFMT_INDEX16;
        hr = device_->CreateIndexBuffer(TailleIndices(), 0, format, pool, &indexBuffer_, nullptr);
        return hr;
    }

    HRESULT QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return D3DERR_INVALIDCALL;
        if (!(iid == IID_ID3DXMesh) && !(iid == IID_IUnknown)) return E_NOINTERFACE;
        AddRef();
        *out = static_cast<ID3DXMesh*>(this);
        return S_OK;
    }
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override {
        const ULONG restantes = --references_;
        if (restantes == 0) delete this;
        return restantes;
    }

    HRESULT DrawSubset(DWORD attribId) override;
    DWORD GetNumFaces() override { return nbFaces_; }
    DWORD GetNumVertices() override { return nbSommets_; }
    DWORD GetFVF() override { return fvf_; }
    DWORD GetNumBytesPerVertex() override { return stride_; }
    DWORD GetOptions() override { return options_; }
    HRESULT GetDevice(IDirect3DDevice9** device) override { return Donner(device_, device); }
    HRESULT GetVertexBuffer(IDirect3DVertexBuffer9** buffer) override { return Donner(vertexBuffer_, buffer); }
    HRESULT GetIndexBuffer(IDirect3DIndexBuffer9** buffer) override { return Donner(indexBuffer_, buffer); }
    HRESULT LockVertexBuffer(DWORD flags, void** data) override {
        return vertexBuffer_->Lock(0, TailleSommets(), data, flags);
    }
    HRESULT UnlockVertexBuffer() override { return vertexBuffer_->Unlock(); }
    HRESULT LockIndexBuffer(DWORD flags, void** data) override {
        return indexBuffer_->Lock(0, TailleIndices(), data, flags);
    }
    HRESULT UnlockIndexBuffer() override { return indexBuffer_->Unlock(); }
    HRESULT GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* size) override;
    HRESULT SetAttributeTable(const D3DXATTRIBUTERANGE* table, DWORD size) override;

private:
    ~Maillage() {
        Relacher(indexBuffer_);
        Relacher(vertexBuffer_);
        Relacher(device_);
    }

    template <typename T>
    static HRESULT Donner(T* objet, T** out) {
        if (out == nullptr) return D3DERR_INVALIDCALL;
        objet->AddRef();
        *out = objet;
        return S_OK;
    }

    UINT TailleSommets() const { return nbSommets_ * stride_; }
    UINT TailleIndices() const { return nbFaces_ * 3 * ((options_ & D3DXMESH_32BIT) ? 4u : 2u); }

    std::atomic<ULONG> references_{1};
    IDirect3DDevice9* device_;
    IDirect3DVertexBuffer9* vertexBuffer_ = nullptr;
    IDirect3DIndexBuffer9* indexBuffer_ = nullptr;
    std::vector<D3DXATTRIBUTERANGE> table_;
    DWORD nbFaces_;
    DWORD nbSommets_;
    DWORD options_;
    DWORD fvf_;
    UINT stride_;
};

HRESULT Maillage::DrawSubset(DWORD attribId) {
    bool fluxPoses = false;
    HRESULT resultat = D3D_OK;
    for (const D3DXATTRIBUTERANGE& range : table_) {
        if (range.AttribId != attribId || range.FaceCount == 0) continue;
        if (!fluxPoses) {
            device_->SetFVF(fvf_);
            device_->SetStreamSource(0, vertexBuffer_, 0, stride_);
            device_->SetIndices(indexBuffer_);
            fluxPoses = true;
        }
        const HRESULT hr = device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, range.VertexStart, range.VertexCount,
                                                         range.FaceStart * 3, range.FaceCount);
        if (FAILED(hr) && SUCCEEDED(resultat)) resultat = hr;
    }
    return resultat;
}

HRESULT Maillage::GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* size) {
    if (size == nullptr) return D3DERR_INVALIDCALL;
    const DWORD nbRanges = static_cast<DWORD>(table_.size());
    if (table == nullptr) {
        *size = nbRanges;
        return S_OK;
    }
    const DWORD copiees = std::min(*size, nbRanges);
    std::copy_n(table_.begin(), copiees, table);
    *size = copiees;
    return S_OK;
}

HRESULT Maillage::SetAttributeTable(const D3DXATTRIBUTERANGE* table, DWORD size) {
    if (table == nullptr && size != 0) return D3DERR_INVALIDCALL;
    for (DWORD i = 0; i < size; ++i)
        if (!RangeDansLeMaillage(table[i], nbFaces_, nbSommets_)) return D3DERR_INVALIDCALL;
    table_.assign(table, table + size);
    return S_OK;
}

}  // namespace

UINT D3DXGetFVFVertexSize(DWORD fvf) { return device_common::VertexSize(fvf); }

HRESULT D3DXCreateMeshFVF(DWORD numFaces, DWORD numVertices, DWORD options, DWORD fvf, IDirect3DDevice9* device,
                          ID3DXMesh** mesh) {
    if (device == nullptr || mesh == nullptr || numFaces == 0 || numVertices == 0 || !OptionsValides(options))
        return D3DERR_INVALIDCALL;
    const UINT stride = D3DXGetFVFVertexSize(fvf);
    if (stride == 0) return D3DERR_INVALIDCALL;
    if (!(options & D3DXMESH_32BIT) && numVertices > kIndices16Max) return D3DERR_INVALIDCALL;
    const std::uint64_t tailleIndices = static_cast<std::uint64_t>(numFaces) * 3 * 4;
    const std::uint64_t tailleSommets = static_cast<std::uint64_t>(numVertices) * stride;
    if (tailleIndices > UINT32_MAX || tailleSommets > UINT32_MAX) return D3DERR_INVALIDCALL;

    auto* maillage = new (std::nothrow) Maillage(device, numFaces, numVertices, options, fvf, stride);
    if (maillage == nullptr) return E_OUTOFMEMORY;
    const HRESULT hr = maillage->CreerBuffers();
    if (FAILED(hr)) {
        maillage->Release();
        return hr;
    }
    *mesh = maillage;
    return S_OK;
}
