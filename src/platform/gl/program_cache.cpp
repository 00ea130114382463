#include "platform/gl/program_cache.h"

#include <cstdio>
#include <string>
#include <vector>

#include "platform/gl/constants.h"
#include "platform/gl/program_source.h"

namespace gl {
namespace {

std::string ShaderLog(Functions& gl, GLuint shader) {
    GLint length = 0;
    gl.GetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
    gl.GetShaderInfoLog(shader, static_cast<GLsizei>(log.size()), nullptr, log.data());
    return log.data();
}

std::string ProgramLog(Functions& gl, GLuint program) {
    GLint length = 0;
    gl.GetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
    gl.GetProgramInfoLog(program, static_cast<GLsizei>(log.size()), nullptr, log.data());
    return log.data();
}

}  // namespace

ProgramCache::~ProgramCache() {
    for (const auto& [key, program] : programs_)
        if (program != 0) gl_.DeleteProgram(program);
}

GLuint ProgramCache::Find(const ProgramKey& key) {
    auto found = programs_.find(key);
    if (found != programs_.end()) return found->second;
    GLuint program = Build(key);
    programs_.emplace(key, program);
    return program;
}

GLuint ProgramCache::CompileShader(GLenum type, const std::string& source) {
    GLuint shader = gl_.CreateShader(type);
    const GLchar* text = source.c_str();
    gl_.ShaderSource(shader, 1, &text, nullptr);
    gl_.CompileShader(shader);
    GLint compiled = GL_FALSE;
    gl_.GetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled == GL_TRUE) return shader;
    std::fprintf(stderr, "OpenGL device: a %s shader does not compile:\n%s\n--- source ---\n%s\n",
                 type == GL_VERTEX_SHADER ? "vertex" : "fragment", ShaderLog(gl_, shader).c_str(), source.c_str());
    gl_.DeleteShader(shader);
    return 0;
}

GLuint ProgramCache::Build(const ProgramKey& key) {
    ++compiled_;
    GLuint vertex = CompileShader(GL_VERTEX_SHADER, VertexShaderSource(key));
    GLuint fragment = vertex != 0 ? CompileShader(GL_FRAGMENT_SHADER, FragmentShaderSource(key)) : 0;
    if (fragment == 0) {
        if (vertex != 0) gl_.DeleteShader(vertex);
        return 0;
    }
    GLuint program = gl_.CreateProgram();
    gl_.AttachShader(program, vertex);
    gl_.AttachShader(program, fragment);
    gl_.LinkProgram(program);
    gl_.DeleteShader(vertex);  // the program keeps them while it lives
    gl_.DeleteShader(fragment);
    GLint linked = GL_FALSE;
    gl_.GetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        std::fprintf(stderr, "OpenGL device: a program does not link:\n%s\n", ProgramLog(gl_, program).c_str());
        gl_.DeleteProgram(program);
        return 0;
    }
    const auto bindBlock = [&](const char* name, GLuint binding) {
        const GLuint block = gl_.GetUniformBlockIndex(program, name);
        if (block != GL_INVALID_INDEX) gl_.UniformBlockBinding(program, block, binding);
    };
    bindBlock("TransformConstants", kTransformBinding);
    bindBlock("ShadingConstants", kShadingBinding);
    // Samplers are uniforms of the program: they are set once, through the program in use.
    GLint previous = 0;
    gl_.GetIntegerv(GL_CURRENT_PROGRAM, &previous);
    gl_.UseProgram(program);
    for (int s = 0; s < key.stageCount; ++s) {
        const GLint location = gl_.GetUniformLocation(program, ("texture" + std::to_string(s)).c_str());
        if (location >= 0) gl_.Uniform1i(location, s);
    }
    gl_.UseProgram(static_cast<GLuint>(previous));
    return program;
}

}  // namespace gl
