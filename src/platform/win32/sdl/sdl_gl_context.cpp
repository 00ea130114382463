// OpenGL on a real window: SDL's context on the window itself (created OpenGL-capable), so the
// hardware device's frame is blitted straight to the window's back buffer and swapped.

#include <GL/glcorearb.h>
#include <SDL.h>

#include "platform/win32/sdl/sdl_backend.h"
#include "platform/win32/sdl/sdl_video.h"
#include "platform/win32/window_surface.h"

namespace {

// The few GL calls that showing a frame takes.
struct BlitFunctions {
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLBLITFRAMEBUFFERPROC blitFramebuffer = nullptr;

    bool Load() {
        bindFramebuffer = reinterpret_cast<PFNGLBINDFRAMEBUFFERPROC>(SDL_GL_GetProcAddress("glBindFramebuffer"));
        blitFramebuffer = reinterpret_cast<PFNGLBLITFRAMEBUFFERPROC>(SDL_GL_GetProcAddress("glBlitFramebuffer"));
        return bindFramebuffer != nullptr && blitFramebuffer != nullptr;
    }
};

class SdlGlContext final : public win32::GlContext {
public:
    // `owner` is the window's handle, or null for a probe that owns a hidden window of its own.
    SdlGlContext(HWND owner, SDL_Window* window, SDL_GLContext context)
        : owner_(owner), window_(window), context_(context) {}

    ~SdlGlContext() override {
        if (SDL_GL_GetCurrentContext() == context_) SDL_GL_MakeCurrent(nullptr, nullptr);
        SDL_GL_DeleteContext(context_);
        if (owner_ == nullptr) SDL_DestroyWindow(window_);
    }

    bool MakeCurrent() override { return WindowAlive() && SDL_GL_MakeCurrent(window_, context_) == 0; }

    void* ProcAddress(const char* name) override { return SDL_GL_GetProcAddress(name); }

    bool Present(unsigned framebuffer, int width, int height) override {
        if (owner_ == nullptr || !WindowAlive() || width <= 0 || height <= 0) return false;
        if (blit_.blitFramebuffer == nullptr && !blit_.Load()) return false;
        int drawableWidth = 0, drawableHeight = 0;
        SDL_GL_GetDrawableSize(window_, &drawableWidth, &drawableHeight);
        blit_.bindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
        blit_.bindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        // The frame's top row comes first; the window's framebuffer starts at the bottom.
        blit_.blitFramebuffer(0, 0, width, height, 0, drawableHeight, drawableWidth, 0, GL_COLOR_BUFFER_BIT, GL_LINEAR);
        SDL_GL_SwapWindow(window_);
        return true;
    }

private:
    // A context outliving its window must not touch the window again.
    bool WindowAlive() const { return owner_ == nullptr || win32::sdl::SdlWindowOf(owner_) == window_; }

    HWND owner_;
    SDL_Window* window_;
    SDL_GLContext context_;
    BlitFunctions blit_;
};

std::unique_ptr<win32::GlContext> Fail(std::string* why, const char* reason) {
    if (why != nullptr) *why = std::string(reason) + ": " + SDL_GetError();
    return nullptr;
}

}  // namespace

namespace win32 {

std::unique_ptr<GlContext> CreateGlContext(HWND window, std::string* why) {
    SDL_Window* native = nullptr;
    if (window != nullptr) {
        native = sdl::SdlWindowOf(window);
        if (native == nullptr) {
            if (why != nullptr) *why = "not a live window";
            return nullptr;
        }
    } else {
        if (!sdl::EnsureVideo()) return Fail(why, "SDL video cannot start");
        native = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (native == nullptr) return Fail(why, "SDL cannot create a window for OpenGL");
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GLContext context = SDL_GL_CreateContext(native);
    if (context == nullptr) {
        if (window == nullptr) SDL_DestroyWindow(native);
        return Fail(why, "SDL cannot create an OpenGL 3.3 core context");
    }
    // Frames go out as fast as they are drawn; a failure here only means the driver decides.
    SDL_GL_SetSwapInterval(0);
    return std::make_unique<SdlGlContext>(window, native, context);
}

}  // namespace win32
