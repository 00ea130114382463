// OpenGL without a screen: EGL contexts with no surface at all. The hardware device draws into
// its own framebuffer object, and Present reads the frame back into the headless frame record,
// where tests and tools find it as they find the reference device's frames; unless the run asked
// not to keep frame pixels, when Present only counts the frame.

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/glcorearb.h>

#include <cstring>
#include <vector>

#include "platform/win32/common/window_manager.h"
#include "platform/win32/window_surface.h"

namespace {

bool HasExtension(const char* list, const char* name) {
    if (list == nullptr) return false;
    const std::size_t length = std::strlen(name);
    for (const char* at = std::strstr(list, name); at != nullptr; at = std::strstr(at + length, name)) {
        const bool starts = at == list || at[-1] == ' ';
        const bool ends = at[length] == '\0' || at[length] == ' ';
        if (starts && ends) return true;
    }
    return false;
}

EGLContext CreateCoreContext(EGLDisplay display) {
    if (eglBindAPI(EGL_OPENGL_API) != EGL_TRUE) return EGL_NO_CONTEXT;
    const char* extensions = eglQueryString(display, EGL_EXTENSIONS);
    // Nothing is ever drawn to an EGL surface, so the context needs none.
    if (!HasExtension(extensions, "EGL_KHR_surfaceless_context")) return EGL_NO_CONTEXT;
    EGLConfig config = EGL_NO_CONFIG_KHR;
    if (!HasExtension(extensions, "EGL_KHR_no_config_context")) {
        const EGLint wanted[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
        EGLint found = 0;
        if (eglChooseConfig(display, wanted, &config, 1, &found) != EGL_TRUE || found == 0) return EGL_NO_CONTEXT;
    }
    const EGLint attributes[] = {
        EGL_CONTEXT_MAJOR_VERSION,           3,       EGL_CONTEXT_MINOR_VERSION, 3, EGL_CONTEXT_OPENGL_PROFILE_MASK,
        EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT, EGL_NONE};
    return eglCreateContext(display, config, EGL_NO_CONTEXT, attributes);
}

// A display that initialises and gives a 3.3 core context; EGL_NO_DISPLAY otherwise.
EGLDisplay TryDisplay(EGLDisplay display) {
    if (display == EGL_NO_DISPLAY || eglInitialize(display, nullptr, nullptr) != EGL_TRUE) return EGL_NO_DISPLAY;
    EGLContext trial = CreateCoreContext(display);
    if (trial == EGL_NO_CONTEXT) return EGL_NO_DISPLAY;
    eglDestroyContext(display, trial);
    return display;
}

// The GPUs that EGL enumerates, those that are not a software rasteriser first.
std::vector<EGLDeviceEXT> HardwareDevices() {
    auto queryDevices = reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
    auto queryString = reinterpret_cast<PFNEGLQUERYDEVICESTRINGEXTPROC>(eglGetProcAddress("eglQueryDeviceStringEXT"));
    std::vector<EGLDeviceEXT> hardware;
    EGLint count = 0;
    if (queryDevices == nullptr || queryString == nullptr || queryDevices(0, nullptr, &count) != EGL_TRUE) return {};
    std::vector<EGLDeviceEXT> devices(static_cast<std::size_t>(count));
    if (count == 0 || queryDevices(count, devices.data(), &count) != EGL_TRUE) return {};
    for (EGLDeviceEXT device : devices)
        if (!HasExtension(queryString(device, EGL_EXTENSIONS), "EGL_MESA_device_software")) hardware.push_back(device);
    return hardware;
}

EGLDisplay ChooseDisplay() {
    const char* client = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    auto platformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (platformDisplay != nullptr && HasExtension(client, "EGL_EXT_platform_device")) {
        for (EGLDeviceEXT device : HardwareDevices()) {
            EGLDisplay display = TryDisplay(platformDisplay(EGL_PLATFORM_DEVICE_EXT, device, nullptr));
            if (display != EGL_NO_DISPLAY) return display;
        }
    }
    if (platformDisplay != nullptr && HasExtension(client, "EGL_MESA_platform_surfaceless")) {
        EGLDisplay display = TryDisplay(platformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr));
        if (display != EGL_NO_DISPLAY) return display;
    }
    return TryDisplay(eglGetDisplay(EGL_DEFAULT_DISPLAY));
}

// Chosen once and never terminated: terminating a display takes every context on it along,
// and the contexts of one process all live on this one.
EGLDisplay OffscreenDisplay() {
    static const EGLDisplay display = ChooseDisplay();
    return display;
}

class HeadlessGlContext final : public win32::GlContext {
public:
    HeadlessGlContext(EGLDisplay display, EGLContext context, HWND window)
        : display_(display), context_(context), window_(window) {}

    ~HeadlessGlContext() override {
        if (eglGetCurrentContext() == context_)
            eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(display_, context_);
    }

    bool MakeCurrent() override {
        return eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_) == EGL_TRUE;
    }

    void* ProcAddress(const char* name) override { return reinterpret_cast<void*>(eglGetProcAddress(name)); }

    bool Present(unsigned framebuffer, int width, int height) override {
        if (window_ == nullptr || width <= 0 || height <= 0) return false;
        if (!win32::WantsFramePixels(window_)) return win32::PresentPixels(window_, nullptr, width, height, width);
        if (!LoadReadback()) return false;
        pixels_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        bindFramebuffer_(GL_READ_FRAMEBUFFER, framebuffer);
        readBuffer_(GL_COLOR_ATTACHMENT0);
        readPixels_(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, pixels_.data());
        return win32::PresentPixels(window_, pixels_.data(), width, height, width);
    }

private:
    bool LoadReadback() {
        if (readPixels_ != nullptr) return true;
        bindFramebuffer_ = reinterpret_cast<PFNGLBINDFRAMEBUFFERPROC>(ProcAddress("glBindFramebuffer"));
        readBuffer_ = reinterpret_cast<PFNGLREADBUFFERPROC>(ProcAddress("glReadBuffer"));
        readPixels_ = reinterpret_cast<PFNGLREADPIXELSPROC>(ProcAddress("glReadPixels"));
        return bindFramebuffer_ != nullptr && readBuffer_ != nullptr && readPixels_ != nullptr;
    }

    EGLDisplay display_;
    EGLContext context_;
    HWND window_;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer_ = nullptr;
    PFNGLREADBUFFERPROC readBuffer_ = nullptr;
    PFNGLREADPIXELSPROC readPixels_ = nullptr;
    std::vector<std::uint32_t> pixels_;
};

}  // namespace

namespace win32 {

std::unique_ptr<GlContext> CreateGlContext(HWND window, std::string* why) {
    auto fail = [why](const char* reason) -> std::unique_ptr<GlContext> {
        if (why != nullptr) *why = reason;
        return nullptr;
    };
    if (window != nullptr && !win32::detail::TheWindowManager().IsWindow(window)) return fail("not a live window");
    EGLDisplay display = OffscreenDisplay();
    if (display == EGL_NO_DISPLAY) return fail("no EGL display gives an OpenGL 3.3 core context without a surface");
    EGLContext context = CreateCoreContext(display);
    if (context == EGL_NO_CONTEXT) return fail("EGL cannot create an OpenGL 3.3 core context");
    auto made = std::make_unique<HeadlessGlContext>(display, context, window);
    if (!made->MakeCurrent()) return fail("EGL cannot make the OpenGL context current");
    return made;
}

}  // namespace win32
