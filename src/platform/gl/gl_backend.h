#pragma once
// The hardware (OpenGL) device, as the adapter sees it. It answers only where the window layer
// can make a hardware OpenGL 3.3 core context; elsewhere the adapter's callers fall back to the
// reference device.

#include "platform/d3d9/device_backend.h"

namespace gl {

const d3d9::DeviceBackend& Backend();

}  // namespace gl
