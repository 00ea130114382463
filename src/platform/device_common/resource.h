#pragma once
// What every resource of a device shares: its reference count, pool and usage, and a link to the
// device that made it. The link outlives the device, so a resource released after its device
// (which the API tolerates) never reaches a freed object. The front end asks a resource who made
// it before binding or copying it: another device's objects mean nothing to a device.

#include <memory>

#include "platform/device_common/com_object.h"

namespace device_common {

class DeviceBase;

// Shared by a device and everything it made; the device clears it when it goes.
struct DeviceLink {
    DeviceBase* device = nullptr;
};

// The part of a resource that does not depend on its interface, so that any of them can be
// asked who made it.
class OwnedResource {
public:
    OwnedResource(std::shared_ptr<DeviceLink> link, D3DPOOL pool, DWORD usage)
        : link_(std::move(link)), pool_(pool), usage_(usage) {}
    virtual ~OwnedResource() = default;

    D3DPOOL Pool() const { return pool_; }
    DWORD Usage() const { return usage_; }
    bool BelongsTo(const DeviceBase* device) const { return link_->device == device; }

protected:
    // The device that made this resource, null once it has gone.
    DeviceBase* Owner() const { return link_->device; }

private:
    std::shared_ptr<DeviceLink> link_;
    D3DPOOL pool_;
    DWORD usage_;
};

// One of our resources made by `device`, or null for anything else (another device's, or an
// object that is not ours at all).
OwnedResource* OwnedBy(const DeviceBase* device, IUnknown* object);

// GetDevice's answer: the device with a reference added, or D3DERR_INVALIDCALL once it has gone.
HRESULT HandOutDevice(DeviceBase* device, IDirect3DDevice9** out);

template <class Interface>
class Resource : public RefCounted<Interface>, public OwnedResource {
public:
    Resource(std::shared_ptr<DeviceLink> link, D3DPOOL pool, DWORD usage)
        : OwnedResource(std::move(link), pool, usage) {}

    HRESULT GetDevice(IDirect3DDevice9** device) override { return HandOutDevice(Owner(), device); }
    DWORD SetPriority(DWORD priority) override {
        DWORD previous = priority_;
        priority_ = priority;
        return previous;
    }
    DWORD GetPriority() override { return priority_; }
    void PreLoad() override {}

private:
    DWORD priority_ = 0;
};

}  // namespace device_common
