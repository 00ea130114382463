#include "platform/gl/context.h"

#include "platform/win32/window_surface.h"

namespace gl {
namespace {

// The context last made current through Bind, on the one window thread.
Context* g_current = nullptr;

}  // namespace

std::unique_ptr<Context> Context::Create(HWND window, std::string* why) {
    std::unique_ptr<win32::GlContext> native = win32::CreateGlContext(window, why);
    if (native == nullptr) return nullptr;
    std::unique_ptr<Context> context(new Context(std::move(native)));
    g_current = context.get();  // the backend made it current
    if (!context->functions_.Load(*context->native_, why)) return nullptr;
    return context;
}

Context::Context(std::unique_ptr<win32::GlContext> native) : native_(std::move(native)) {}

Context::~Context() {
    if (g_current == this) g_current = nullptr;
}

bool Context::Bind() {
    if (g_current == this) return true;
    if (!native_->MakeCurrent()) return false;
    g_current = this;
    return true;
}

}  // namespace gl
