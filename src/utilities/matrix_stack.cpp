#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "utilities/d3dx_matrix_stack.h"
#include "utilities/matrix_stack_probe.h"

namespace {

constexpr UINT kInitialCapacity = 16;
// Every matrix of the storage lands on a 16-byte boundary, as aligned vector loads want.
constexpr std::size_t kStorageAlignment = 16;
static_assert(sizeof(D3DXMATRIX) == 64 && sizeof(D3DXMATRIX) % kStorageAlignment == 0);

// A UINT count of 64-byte matrices always fits in a 64-bit size.
static_assert(sizeof(std::size_t) >= 8);

D3DXMATRIX* AllocateMatrices(UINT count) {
    if (count == 0) return nullptr;
    return static_cast<D3DXMATRIX*>(std::aligned_alloc(kStorageAlignment, std::size_t{count} * sizeof(D3DXMATRIX)));
}

class MatrixStack final : public ID3DXMatrixStack {
public:
    // Allocates the first 16 matrices and loads the identity; false when memory is short.
    bool Initialise() {
        storage_ = AllocateMatrices(kInitialCapacity);
        if (storage_ == nullptr) return false;
        capacity_ = kInitialCapacity;
        top_ = 0;
        D3DXMatrixIdentity(&storage_[0]);
        return true;
    }

    HRESULT QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return D3DERR_INVALIDCALL;
        if (!(iid == IID_ID3DXMatrixStack) && !(iid == IID_IUnknown)) return E_NOINTERFACE;
        AddRef();
        *out = static_cast<ID3DXMatrixStack*>(this);
        return S_OK;
    }

    ULONG AddRef() override { return ++references_; }

    ULONG Release() override {
        const ULONG remaining = --references_;
        if (remaining == 0) delete this;
        return remaining;
    }

    HRESULT Pop() override {
        if (top_ > 0) --top_;
        return S_OK;
    }

    HRESULT Push() override {
        if (top_ + 1 >= capacity_ && !Grow()) return E_OUTOFMEMORY;
        ++top_;
        storage_[top_] = storage_[top_ - 1];
        return S_OK;
    }

    HRESULT LoadIdentity() override {
        D3DXMatrixIdentity(Top());
        return S_OK;
    }

    HRESULT LoadMatrix(const D3DXMATRIX* m) override {
        if (m == nullptr) return D3DERR_INVALIDCALL;
        *Top() = *m;
        return S_OK;
    }

    HRESULT MultMatrix(const D3DXMATRIX* m) override {
        if (m == nullptr) return D3DERR_INVALIDCALL;
        return After(*m);
    }

    HRESULT MultMatrixLocal(const D3DXMATRIX* m) override {
        if (m == nullptr) return D3DERR_INVALIDCALL;
        return Before(*m);
    }

    HRESULT RotateAxis(const D3DXVECTOR3* axis, float angle) override {
        if (axis == nullptr) return D3DERR_INVALIDCALL;
        D3DXMATRIX r;
        return After(*D3DXMatrixRotationAxis(&r, axis, angle));
    }

    HRESULT RotateAxisLocal(const D3DXVECTOR3* axis, float angle) override {
        if (axis == nullptr) return D3DERR_INVALIDCALL;
        D3DXMATRIX r;
        return Before(*D3DXMatrixRotationAxis(&r, axis, angle));
    }

    HRESULT RotateYawPitchRoll(float yaw, float pitch, float roll) override {
        D3DXMATRIX r;
        return After(*D3DXMatrixRotationYawPitchRoll(&r, yaw, pitch, roll));
    }

    HRESULT RotateYawPitchRollLocal(float yaw, float pitch, float roll) override {
        D3DXMATRIX r;
        return Before(*D3DXMatrixRotationYawPitchRoll(&r, yaw, pitch, roll));
    }

    HRESULT Scale(float x, float y, float z) override {
        D3DXMATRIX s;
        return After(*D3DXMatrixScaling(&s, x, y, z));
    }

    HRESULT ScaleLocal(float x, float y, float z) override {
        D3DXMATRIX s;
        return Before(*D3DXMatrixScaling(&s, x, y, z));
    }

    HRESULT Translate(float x, float y, float z) override {
        D3DXMATRIX t;
        return After(*D3DXMatrixTranslation(&t, x, y, z));
    }

    HRESULT TranslateLocal(float x, float y, float z) override {
        D3DXMATRIX t;
        return Before(*D3DXMatrixTranslation(&t, x, y, z));
    }

    D3DXMATRIX* GetTop() override { return Top(); }

    UINT Capacity() const { return capacity_; }

private:
    ~MatrixStack() override { std::free(storage_); }

    D3DXMATRIX* Top() { return &storage_[top_]; }

    // top = top × m: m acts after what the stack holds.
    HRESULT After(const D3DXMATRIX& m) {
        D3DXMatrixMultiply(Top(), Top(), &m);
        return S_OK;
    }

    // top = m × top: m acts first, in the object's own frame.
    HRESULT Before(const D3DXMATRIX& m) {
        D3DXMatrixMultiply(Top(), &m, Top());
        return S_OK;
    }

    // Doubles the storage, keeping every matrix; on failure nothing changes.
    bool Grow() {
        if (capacity_ > UINT32_MAX / 2) return false;
        D3DXMATRIX* larger = AllocateMatrices(capacity_ * 2);
        if (larger == nullptr) return false;
        std::memcpy(static_cast<void*>(larger), storage_, capacity_ * sizeof(D3DXMATRIX));
        std::free(storage_);
        storage_ = larger;
        capacity_ *= 2;
        return true;
    }

    UINT capacity_ = 0;
    D3DXMATRIX* storage_ = nullptr;
    UINT top_ = 0;
    ULONG references_ = 1;
};

}  // namespace

HRESULT D3DXCreateMatrixStack(DWORD /*flags*/, ID3DXMatrixStack** out) {
    if (out == nullptr) return D3DERR_INVALIDCALL;
    auto* stack = new (std::nothrow) MatrixStack();
    if (stack == nullptr) return E_OUTOFMEMORY;
    if (!stack->Initialise()) {
        stack->Release();
        return E_OUTOFMEMORY;
    }
    *out = stack;
    return S_OK;
}

UINT utilities::MatrixStackCapacity(ID3DXMatrixStack* stack) {
    const auto* ours = dynamic_cast<const MatrixStack*>(stack);
    return ours != nullptr ? ours->Capacity() : 0;
}
