#pragma once
// A backend's OpenGL context together with the functions loaded from it. Several contexts may
// exist at once (a probe, devices made one after another in tests); Bind() makes one current on
// the window thread only when another one was.

#include <memory>
#include <string>

#include "platform/gl/gl_functions.h"
#include "platform/win32/win_types.h"

namespace win32 {
class GlContext;
}

namespace gl {

class Context {
public:
    // A context for `window` (null: one that shows nothing), current on return, with every
    // function loaded. Null, with the reason in `why`, when either step fails.
    static std::unique_ptr<Context> Create(HWND window, std::string* why);
    ~Context();
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    // Makes this context current if it is not; false when the platform refuses.
    bool Bind();
    Functions& Gl() { return functions_; }
    win32::GlContext& Native() { return *native_; }

private:
    explicit Context(std::unique_ptr<win32::GlContext> native);

    std::unique_ptr<win32::GlContext> native_;
    Functions functions_;
};

}  // namespace gl
