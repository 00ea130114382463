#include "platform/gl/texture_formats.h"

namespace gl {
namespace {

// GL_EXT_texture_compression_s3tc; the core headers leave them out.
constexpr GLenum kDxt1 = 0x83F1;  // RGBA: DXT1's transparent texels stay transparent
constexpr GLenum kDxt3 = 0x83F2;
constexpr GLenum kDxt5 = 0x83F3;

constexpr UploadFormat Compressed(GLenum internalFormat) {
    return {internalFormat, 0, 0, true, {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA}};
}

}  // namespace

UploadFormat UploadFormatOf(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_X8R8G8B8:
            return {GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, false, {GL_RED, GL_GREEN, GL_BLUE, GL_ONE}};
        case D3DFMT_L8:
            return {GL_R8, GL_RED, GL_UNSIGNED_BYTE, false, {GL_RED, GL_RED, GL_RED, GL_ONE}};
        case D3DFMT_A8L8:  // luminance in the low byte, alpha in the high one
            return {GL_RG8, GL_RG, GL_UNSIGNED_BYTE, false, {GL_RED, GL_RED, GL_RED, GL_GREEN}};
        // Premultiplied DXT2 and DXT4 sample like DXT3 and DXT5: nothing divides the alpha out.
        case D3DFMT_DXT1:
            return Compressed(kDxt1);
        case D3DFMT_DXT2:
        case D3DFMT_DXT3:
            return Compressed(kDxt3);
        case D3DFMT_DXT4:
        case D3DFMT_DXT5:
            return Compressed(kDxt5);
        default:  // A8R8G8B8: B, G, R, A bytes
            return {GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, false, {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA}};
    }
}

}  // namespace gl
