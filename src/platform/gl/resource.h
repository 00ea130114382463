#pragma once
// The hardware device's resources: the same shared part as the reference device's. GL objects are
// names in one context, so another device's resource means nothing in ours (BelongsTo).

#include "platform/reference/resource.h"

namespace gl {

class Device;
using DeviceLink = reference::DeviceLinkOf<Device>;
template <class Interface>
using Resource = reference::DeviceResource<Interface, Device>;

using reference::Rebind;
using reference::RefCounted;

HRESULT HandOutDevice(Device* device, IDirect3DDevice9** out);

}  // namespace gl
