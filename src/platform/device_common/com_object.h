#pragma once
// Reference counting and interface queries shared by every object the device hands out. Objects
// start with one reference, as the API promises, and delete themselves when the last one goes.

#include <atomic>
#include <initializer_list>

#include "platform/d3d9/d3d9_interfaces.h"

namespace device_common {

template <class Interface>
class RefCounted : public Interface {
public:
    ULONG AddRef() override { return count_.fetch_add(1, std::memory_order_relaxed) + 1; }

    ULONG Release() override {
        ULONG left = count_.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (left == 0) delete this;
        return left;
    }

protected:
    // Answers QueryInterface for the identifiers this object implements.
    HRESULT AnswerQuery(REFIID iid, void** out, std::initializer_list<const IID*> implemented) {
        if (out == nullptr) return E_POINTER;
        for (const IID* candidate : implemented) {
            if (*candidate == iid) {
                *out = static_cast<Interface*>(this);
                AddRef();
                return S_OK;
            }
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }

private:
    std::atomic<ULONG> count_{1};
};

// Replaces a held reference with another, taking the new one before giving the old one back
// (so that setting the same object twice never frees it in between).
template <class T>
void Rebind(T*& slot, T* replacement) {
    if (replacement != nullptr) replacement->AddRef();
    T* previous = slot;
    slot = replacement;
    if (previous != nullptr) previous->Release();
}

}  // namespace device_common
