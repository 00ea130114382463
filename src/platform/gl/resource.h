#pragma once
// What every resource of the hardware device shares: its reference count, pool and usage, and
// a link to the device that made it. The link outlives the device, so a resource released after
// its device (which the API tolerates) neither reaches a freed object nor a destroyed context:
// its GL objects went with the context.

#include <memory>

#include "platform/reference/com_object.h"

namespace gl {

class Device;

struct DeviceLink {
    Device* device = nullptr;
};

using reference::Rebind;
using reference::RefCounted;

template <class Interface>
class Resource : public RefCounted<Interface> {
public:
    Resource(std::shared_ptr<DeviceLink> link, D3DPOOL pool, DWORD usage)
        : link_(std::move(link)), pool_(pool), usage_(usage) {}

    HRESULT GetDevice(IDirect3DDevice9** device) override;
    DWORD SetPriority(DWORD priority) override {
        DWORD previous = priority_;
        priority_ = priority;
        return previous;
    }
    DWORD GetPriority() override { return priority_; }
    void PreLoad() override {}

    D3DPOOL Pool() const { return pool_; }
    DWORD Usage() const { return usage_; }
    // GL objects are names in one context: another device's resource means nothing in ours.
    bool BelongsTo(const Device* device) const { return link_->device == device; }

protected:
    Device* OwningDevice() const { return link_->device; }

private:
    std::shared_ptr<DeviceLink> link_;
    D3DPOOL pool_;
    DWORD usage_;
    DWORD priority_ = 0;
};

// Answers GetDevice for any resource; defined with the device.
HRESULT HandOutDevice(Device* device, IDirect3DDevice9** out);

template <class Interface>
HRESULT Resource<Interface>::GetDevice(IDirect3DDevice9** device) {
    return HandOutDevice(link_->device, device);
}

}  // namespace gl
