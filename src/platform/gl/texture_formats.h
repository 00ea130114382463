#pragma once
// How each texture format travels to GL: the GL format its bytes are read as, and the swizzle
// that makes GL sample what the Direct3D format means (X8 reads opaque, L8 grey, A8L8 grey with
// alpha).

#include <GL/glcorearb.h>

#include "platform/d3d9/d3d9_types.h"

namespace gl {

struct UploadFormat {
    GLenum internalFormat;
    GLenum format;  // unused for compressed formats
    GLenum type;
    bool compressed;
    GLint swizzle[4];
};

// Only for the formats IsTextureFormat accepts.
UploadFormat UploadFormatOf(D3DFORMAT format);

}  // namespace gl
