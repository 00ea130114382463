// Clearing, presenting, and reading the frame back.
#include <algorithm>

#include "platform/gl/device.h"
#include "platform/win32/window_surface.h"

namespace gl {

HRESULT Device::ClearTargets(DWORD rectCount, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                             DWORD stencil) {
    if (!Bind()) return D3DERR_DEVICELOST;
    Functions& gl = context_->Gl();
    cache_->BindFramebuffer(target_.Framebuffer());
    GLbitfield bits = 0;
    if (flags & D3DCLEAR_TARGET) {
        bits |= GL_COLOR_BUFFER_BIT;
        cache_->ColourMask(0xF);  // a clear writes every channel, whatever the draws' write mask is
    }
    if (flags & D3DCLEAR_ZBUFFER) {
        bits |= GL_DEPTH_BUFFER_BIT;
        cache_->DepthMask(true);
    }
    if ((flags & D3DCLEAR_STENCIL) && target_.HasStencil()) {
        bits |= GL_STENCIL_BUFFER_BIT;
        cache_->StencilMask(0xFFFFFFFFu);
    }
    // The values go to GL only when they change (a frame clears with the same ones as the last).
    const auto channel = [color](int shift) { return static_cast<float>((color >> shift) & 255) / 255.0f; };
    cache_->ClearValues({channel(16), channel(8), channel(0), channel(24)}, z, static_cast<GLint>(stencil));
    // Only the viewport is cleared, and within it only the rectangles when there are some.
    const D3DVIEWPORT9& vp = state_.viewport;
    const D3DRECT whole{static_cast<LONG>(vp.X), static_cast<LONG>(vp.Y), static_cast<LONG>(vp.X + vp.Width),
                        static_cast<LONG>(vp.Y + vp.Height)};
    if (rectCount == 0) {
        rects = &whole;
        rectCount = 1;
    }
    for (DWORD r = 0; r < rectCount; ++r) {
        const LONG x0 = std::max(rects[r].x1, whole.x1), y0 = std::max(rects[r].y1, whole.y1);
        const LONG x1 = std::min(rects[r].x2, whole.x2), y1 = std::min(rects[r].y2, whole.y2);
        if (x0 >= x1 || y0 >= y1) continue;
        const bool wholeBuffer = x0 == 0 && y0 == 0 && x1 == target_.Width() && y1 == target_.Height();
        cache_->Scissor(!wholeBuffer, Rectangle{x0, y0, x1 - x0, y1 - y0});
        gl.Clear(bits);
    }
    return D3D_OK;
}

HRESULT Device::PresentFrame(HWND window) {
    if (!Bind()) return D3DERR_DEVICELOST;
    cache_->Scissor(false);
    cache_->ColourMask(0xF);  // some GL implementations let the write mask reach a blit
    if (window == window_) {
        // The context lives on the device window: the frame goes there without leaving GL.
        context_->Native().Present(target_.Framebuffer(), target_.Width(), target_.Height());
    } else {
        // Another window is shown the frame as the reference device shows its frames; read back
        // only when someone looks at it.
        std::vector<std::uint32_t> frame;
        const bool wanted = window != nullptr && win32::WantsFramePixels(window);
        if (window != nullptr && (!wanted || ReadColour(frame)))
            win32::PresentPixels(window, wanted ? frame.data() : nullptr, target_.Width(), target_.Height(),
                                 target_.Width());
    }
    cache_->ForgetFramebuffer();
    PaceFrames();
    CountFrame();
    return D3D_OK;
}

void Device::PaceFrames() {
    Functions& gl = context_->Gl();
    GLsync presented = gl.FenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    if (previousFrame_ != nullptr) {
        // The flush sends the frame just presented on its way; a second is long enough for any
        // frame, and a driver that never signals must not hang the program.
        constexpr GLuint64 kSecond = 1000000000;
        gl.ClientWaitSync(previousFrame_, GL_SYNC_FLUSH_COMMANDS_BIT, kSecond);
        gl.DeleteSync(previousFrame_);
    }
    previousFrame_ = presented;
}

void Device::CountFrame() {
    Functions& gl = context_->Gl();
    const std::uint32_t compiled = programs_->Compiled();
    ++statistics_.frames;
    statistics_.glCallsLastFrame = gl.Counts().Total();
    statistics_.countsLastFrame = gl.Counts();
    statistics_.drawsLastFrame = drawsThisFrame_;
    statistics_.programsCompiled = compiled;
    statistics_.programsCompiledLastFrame = compiled - compiledBeforeFrame_;
    gl.ResetCounts();
    drawsThisFrame_ = 0;
    compiledBeforeFrame_ = compiled;
}

bool Device::ReadColour(std::vector<std::uint32_t>& bgra) {
    if (!Bind()) return false;
    Functions& gl = context_->Gl();
    cache_->BindFramebuffer(target_.Framebuffer());
    bgra.resize(static_cast<std::size_t>(target_.Width()) * static_cast<std::size_t>(target_.Height()));
    gl.ReadBuffer(GL_COLOR_ATTACHMENT0);
    gl.ReadPixels(0, 0, target_.Width(), target_.Height(), GL_BGRA, GL_UNSIGNED_BYTE, bgra.data());
    return true;
}

bool Device::ReadDepth(std::vector<std::uint32_t>& depth) {
    if (!target_.HasDepth() || !Bind()) return false;
    Functions& gl = context_->Gl();
    cache_->BindFramebuffer(target_.Framebuffer());
    depth.resize(static_cast<std::size_t>(target_.Width()) * static_cast<std::size_t>(target_.Height()));
    gl.ReadPixels(0, 0, target_.Width(), target_.Height(), GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, depth.data());
    for (std::uint32_t& value : depth) value >>= 8;  // 32-bit fixed point down to the 24 bits stored
    return true;
}

// ---- Access for tests and tools -------------------------------------------------------------

bool ReadBackBuffer(IDirect3DDevice9* device, std::vector<std::uint32_t>& bgra) {
    auto* ours = dynamic_cast<Device*>(device);
    return ours != nullptr && ours->ReadColour(bgra);
}

bool ReadDepthBuffer(IDirect3DDevice9* device, std::vector<std::uint32_t>& depth) {
    auto* ours = dynamic_cast<Device*>(device);
    return ours != nullptr && ours->ReadDepth(depth);
}

bool GetFrameStatistics(IDirect3DDevice9* device, FrameStatistics* statistics) {
    auto* ours = dynamic_cast<Device*>(device);
    if (ours == nullptr || statistics == nullptr) return false;
    *statistics = ours->Statistics();
    return true;
}

bool SetStateFiltering(IDirect3DDevice9* device, bool filtering) {
    auto* ours = dynamic_cast<Device*>(device);
    if (ours == nullptr) return false;
    ours->SetStateFiltering(filtering);
    return true;
}

}  // namespace gl
