#pragma once
// The reference (software) device, as the adapter sees it.

#include "platform/d3d9/device_backend.h"

namespace reference {

const d3d9::DeviceBackend& Backend();

}  // namespace reference
