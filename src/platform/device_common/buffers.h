#pragma once
// Vertex and index buffers as the API sees them: bytes in main memory that locks hand out. A
// device reads them when it draws; one that keeps a copy elsewhere (a GL buffer object) takes
// the range written since it last looked.

#include <cstdint>
#include <vector>

#include "platform/device_common/resource.h"

namespace device_common {

// The lockable byte store behind both kinds of buffer.
class ByteStore {
public:
    explicit ByteStore(UINT length) : bytes_(length, 0) {}
    HRESULT Lock(UINT offset, UINT size, DWORD flags, void** data);
    HRESULT Unlock();
    const std::uint8_t* Data() const { return bytes_.data(); }
    UINT Length() const { return static_cast<UINT>(bytes_.size()); }
    // Bumped whenever the bytes may have changed; what is learnt from them can be kept by it.
    std::uint64_t Version() const { return version_; }

    // The bytes written since the last call, as [begin, end) (empty when none), and forgets them.
    void TakeWritten(UINT& begin, UINT& end);

private:
    void MarkWritten(UINT begin, UINT end);

    std::vector<std::uint8_t> bytes_;
    int lockDepth_ = 0;
    UINT lockBegin_ = 0, lockEnd_ = 0;
    std::uint64_t version_ = 0;
    UINT writtenBegin_ = 0, writtenEnd_ = 0;
};

// What both kinds of buffer share: the byte store that their locks hand out.
template <class Interface>
class StoredBuffer : public Resource<Interface> {
public:
    StoredBuffer(std::shared_ptr<DeviceLink> link, UINT length, DWORD usage, D3DPOOL pool)
        : Resource<Interface>(std::move(link), pool, usage), store_(length) {}

    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override {
        return store_.Lock(offset, size, flags, data);
    }
    HRESULT Unlock() override { return store_.Unlock(); }

    ByteStore& Store() { return store_; }
    const ByteStore& Store() const { return store_; }

private:
    ByteStore store_;
};

class VertexBufferBase : public StoredBuffer<IDirect3DVertexBuffer9> {
public:
    VertexBufferBase(std::shared_ptr<DeviceLink> link, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
        : StoredBuffer(std::move(link), length, usage, pool), fvf_(fvf) {}

    HRESULT QueryInterface(REFIID iid, void** out) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) override;

private:
    DWORD fvf_;
};

class IndexBufferBase : public StoredBuffer<IDirect3DIndexBuffer9> {
public:
    IndexBufferBase(std::shared_ptr<DeviceLink> link, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool)
        : StoredBuffer(std::move(link), length, usage, pool), format_(format) {}

    HRESULT QueryInterface(REFIID iid, void** out) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
    HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) override;

    UINT IndexSize() const { return format_ == D3DFMT_INDEX32 ? 4 : 2; }
    // Index `k` of the buffer, which must lie inside it.
    std::uint32_t IndexAt(std::uint64_t k) const;

private:
    D3DFORMAT format_;
};

}  // namespace device_common
