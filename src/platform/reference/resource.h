#pragma once
// What every resource of a device shares: its reference count, pool and usage, and a link to the
// device that made it. The link outlives the device, so a resource released after its device
// (which the API tolerates) never reaches a freed object; the hardware device's GL objects go
// with its context.

#include <memory>

#include "platform/reference/com_object.h"

namespace reference {

template <class DeviceType>
struct DeviceLinkOf {
    DeviceType* device = nullptr;
};

// Each device answers GetDevice for its resources with a HandOutDevice(DeviceType*,
// IDirect3DDevice9**) of its own namespace, defined where the device type is complete.
template <class Interface, class DeviceType>
class DeviceResource : public RefCounted<Interface> {
public:
    DeviceResource(std::shared_ptr<DeviceLinkOf<DeviceType>> link, D3DPOOL pool, DWORD usage)
        : link_(std::move(link)), pool_(pool), usage_(usage) {}

    HRESULT GetDevice(IDirect3DDevice9** device) override { return HandOutDevice(link_->device, device); }
    DWORD SetPriority(DWORD priority) override {
        DWORD previous = priority_;
        priority_ = priority;
        return previous;
    }
    DWORD GetPriority() override { return priority_; }
    void PreLoad() override {}

    D3DPOOL Pool() const { return pool_; }
    DWORD Usage() const { return usage_; }
    bool BelongsTo(const DeviceType* device) const { return link_->device == device; }

protected:
    DeviceType* OwningDevice() const { return link_->device; }

private:
    std::shared_ptr<DeviceLinkOf<DeviceType>> link_;
    D3DPOOL pool_;
    DWORD usage_;
    DWORD priority_ = 0;
};

class Device;
using DeviceLink = DeviceLinkOf<Device>;
template <class Interface>
using Resource = DeviceResource<Interface, Device>;

HRESULT HandOutDevice(Device* device, IDirect3DDevice9** out);

}  // namespace reference
