#include "platform/gl/texture.h"

#include "platform/gl/device.h"
#include "platform/gl/texture_formats.h"

namespace gl {

Texture::~Texture() {
    if (auto* device = static_cast<Device*>(Owner())) device->DeleteTexture(name_);
}

void Texture::Upload(Functions& gl, std::size_t index) {
    const UploadFormat upload = UploadFormatOf(Format());
    const Level& level = LevelAt(index);
    const auto width = static_cast<GLsizei>(level.width), height = static_cast<GLsizei>(level.height);
    const auto target = static_cast<GLint>(index);
    if (upload.compressed)
        gl.CompressedTexImage2D(GL_TEXTURE_2D, target, upload.internalFormat, width, height, 0,
                                static_cast<GLsizei>(level.size), BytesOf(index));
    else
        gl.TexImage2D(GL_TEXTURE_2D, target, static_cast<GLint>(upload.internalFormat), width, height, 0, upload.format,
                      upload.type, BytesOf(index));
    gl.CountUpload(level.size);
}

GLuint Texture::Sync(Functions& gl, StateCache& cache, int unit) {
    const bool fresh = name_ == 0;
    bool changed = fresh || uploadedLod_ != GetLOD();
    for (std::size_t i = 0; i < LevelCount(); ++i) changed = changed || LevelAt(i).changed;
    if (!changed) {
        cache.BindTexture(unit, name_);
        return name_;
    }
    if (fresh) gl.GenTextures(1, &name_);
    cache.SelectTexture(unit, name_);
    if (fresh) {
        // A chain shorter than the full one is still complete for GL with the last level named.
        gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(LevelCount() - 1));
        gl.TexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_RGBA, UploadFormatOf(Format()).swizzle);
    }
    for (std::size_t i = 0; i < LevelCount(); ++i)
        if (TakeChange(i)) Upload(gl, i);
    if (fresh || uploadedLod_ != GetLOD()) {
        gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, static_cast<GLint>(GetLOD()));
        uploadedLod_ = GetLOD();
    }
    return name_;
}

}  // namespace gl
