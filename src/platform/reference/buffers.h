#pragma once
// Vertex and index buffers: plain bytes in main memory. Draws read them when they are issued
// (the vertex stage runs at once), so a buffer may be refilled right after a draw.

#include <cstdint>
#include <vector>

#include "platform/reference/resource.h"

namespace reference {

// The lockable byte store behind both kinds of buffer.
class ByteStore {
public:
    explicit ByteStore(UINT length) : bytes_(length, 0) {}
    HRESULT Lock(UINT offset, UINT size, void** data);
    HRESULT Unlock();
    const std::uint8_t* Data() const { return bytes_.data(); }
    UINT Length() const { return static_cast<UINT>(bytes_.size()); }

private:
    std::vector<std::uint8_t> bytes_;
    int lockDepth_ = 0;
};

class VertexBuffer final : public Resource<IDirect3DVertexBuffer9> {
public:
    VertexBuffer(std::shared_ptr<DeviceLink> link, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
        : DeviceResource(std::move(link), pool, usage), store_(length), fvf_(fvf) {}

    HRESULT QueryInterface(REFIID iid, void** out) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override;
    HRESULT Unlock() override { return store_.Unlock(); }
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) override;

    const ByteStore& Store() const { return store_; }

private:
    ByteStore store_;
    DWORD fvf_;
};

class IndexBuffer final : public Resource<IDirect3DIndexBuffer9> {
public:
    IndexBuffer(std::shared_ptr<DeviceLink> link, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool)
        : DeviceResource(std::move(link), pool, usage), store_(length), format_(format) {}

    HRESULT QueryInterface(REFIID iid, void** out) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override;
    HRESULT Unlock() override { return store_.Unlock(); }
    HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) override;

    const ByteStore& Store() const { return store_; }
    UINT IndexSize() const { return format_ == D3DFMT_INDEX32 ? 4 : 2; }

private:
    ByteStore store_;
    D3DFORMAT format_;
};

}  // namespace reference
