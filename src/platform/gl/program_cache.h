#pragma once
// Generated programs, compiled on first use and kept by key for the device's life. A program
// that fails to compile or link is said once on standard error, with its log and source, and
// remembered as failed so that its draws are skipped rather than retried every frame.

#include <cstdint>
#include <unordered_map>

#include "platform/gl/gl_functions.h"
#include "platform/gl/program_key.h"

namespace gl {

class ProgramCache {
public:
    explicit ProgramCache(Functions& gl) : gl_(gl) {}
    ~ProgramCache();
    ProgramCache(const ProgramCache&) = delete;
    ProgramCache& operator=(const ProgramCache&) = delete;

    // The program for `key`, compiled now if it is new; 0 when it cannot be built.
    GLuint Find(const ProgramKey& key);

    // Programs compiled (successfully or not) since the device was made.
    std::uint32_t Compiled() const { return compiled_; }
    std::size_t Size() const { return programs_.size(); }

private:
    GLuint Build(const ProgramKey& key);
    GLuint CompileShader(GLenum type, const std::string& source);

    Functions& gl_;
    std::unordered_map<ProgramKey, GLuint, ProgramKeyHash> programs_;
    std::uint32_t compiled_ = 0;
};

}  // namespace gl
