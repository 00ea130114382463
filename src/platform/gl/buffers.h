#pragma once
// Vertex and index buffers: the bytes live in main memory, where locks hand them out, and a GL
// buffer object holds a copy that is brought up to date when a draw needs it. Only the bytes
// written since the last draw travel.

#include <cstdint>
#include <vector>

#include "platform/gl/resource.h"
#include "platform/gl/state_cache.h"

namespace gl {

class BufferStore {
public:
    // `dynamic`: the application refills the buffer often (D3DUSAGE_DYNAMIC).
    BufferStore(UINT length, bool dynamic) : bytes_(length, 0), dynamic_(dynamic) {}
    HRESULT Lock(UINT offset, UINT size, DWORD flags, void** data);
    HRESULT Unlock();
    const std::uint8_t* Data() const { return bytes_.data(); }
    UINT Length() const { return static_cast<UINT>(bytes_.size()); }
    // Bumped whenever the bytes may have changed; draws cache what they learnt from them by it.
    std::uint64_t Version() const { return version_; }

    // The GL buffer with the current bytes, bound to `target` (made on first use).
    GLuint Sync(Functions& gl, StateCache& cache, GLenum target);
    // The GL buffer, 0 before the first Sync.
    GLuint Name() const { return name_; }

private:
    void MarkWritten(UINT begin, UINT end);

    std::vector<std::uint8_t> bytes_;
    bool dynamic_;
    int lockDepth_ = 0;
    UINT lockBegin_ = 0, lockEnd_ = 0;
    std::uint64_t version_ = 0;
    UINT dirtyBegin_ = 0, dirtyEnd_ = 0;
    GLuint name_ = 0;
};

class VertexBuffer final : public Resource<IDirect3DVertexBuffer9> {
public:
    VertexBuffer(std::shared_ptr<DeviceLink> link, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
        : DeviceResource(std::move(link), pool, usage), store_(length, (usage & D3DUSAGE_DYNAMIC) != 0), fvf_(fvf) {}
    ~VertexBuffer() override;

    HRESULT QueryInterface(REFIID iid, void** out) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override;
    HRESULT Unlock() override { return store_.Unlock(); }
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) override;

    BufferStore& Store() { return store_; }

private:
    BufferStore store_;
    DWORD fvf_;
};

class IndexBuffer final : public Resource<IDirect3DIndexBuffer9> {
public:
    IndexBuffer(std::shared_ptr<DeviceLink> link, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool)
        : DeviceResource(std::move(link), pool, usage), store_(length, (usage & D3DUSAGE_DYNAMIC) != 0), format_(format) {}
    ~IndexBuffer() override;

    HRESULT QueryInterface(REFIID iid, void** out) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override;
    HRESULT Unlock() override { return store_.Unlock(); }
    HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) override;

    BufferStore& Store() { return store_; }
    UINT IndexSize() const { return format_ == D3DFMT_INDEX32 ? 4 : 2; }

    // The smallest and largest index in [first, first + count), remembered for the last range
    // asked until the bytes change: static geometry is scanned once, not every frame.
    void IndexBounds(UINT first, UINT count, std::uint32_t& lowest, std::uint32_t& highest);

private:
    struct Bounds {
        std::uint64_t version = ~0ull;
        UINT first = 0, count = 0;
        std::uint32_t lowest = 0, highest = 0;
    };

    BufferStore store_;
    D3DFORMAT format_;
    Bounds bounds_;
};

}  // namespace gl
