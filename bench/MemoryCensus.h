#pragma once
// Where the game's resident memory goes: the GL objects alive in the current
// context by the sizes GL gives them (textures, renderbuffers, buffers), and
// the resident pages of the GL driver's code from /proc/self/smaps.
#include "render/GL.h"
#include "render/Texture.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace bench {

// Resident kB of the mapped files whose path contains one of the names.
inline long residentOfLibrariesKb(const std::vector<std::string>& names) {
    std::ifstream in("/proc/self/smaps");
    std::string line;
    bool counting = false;
    long kb = 0;
    while (std::getline(in, line)) {
        const std::size_t dash = line.find('-');
        if (dash != std::string::npos && dash > 0 && line.find(' ') > dash &&
            line.find_first_not_of("0123456789abcdef") == dash) {
            counting = false;
            for (const std::string& name : names)
                counting = counting || line.find(name) != std::string::npos;
        } else if (counting && line.compare(0, 4, "Rss:") == 0) {
            kb += std::strtol(line.c_str() + 4, nullptr, 10);
        }
    }
    return kb;
}

// The GL driver's code: LLVM (llvmpipe compiles every shader with it) and
// Mesa's driver library.
inline long driverCodeKb() {
    return residentOfLibrariesKb({"libLLVM", "_dri.so", "libgallium"});
}

struct GlMemory {
    double pictureTextures = 0; // textures made from picture files (the registry)
    int pictureCount = 0;
    double cubeMaps = 0;       // the sky box
    double targetTextures = 0; // other 2-D textures: what the frame renders into
    double renderbuffers = 0;  // depth buffers
    double buffers = 0;        // vertex, index and other buffer objects
};

namespace detail {

inline double texelBytes(GLint level, GLenum query) {
    GLint bits = 0, total = 0;
    for (GLenum size : {GL_TEXTURE_RED_SIZE, GL_TEXTURE_GREEN_SIZE, GL_TEXTURE_BLUE_SIZE,
                        GL_TEXTURE_ALPHA_SIZE, GL_TEXTURE_DEPTH_SIZE, GL_TEXTURE_STENCIL_SIZE}) {
        glGetTexLevelParameteriv(query, level, size, &bits);
        total += bits;
    }
    return total / 8.0;
}

// Bytes of every level of a texture bound to `target`; for a cube map, of
// every face.
inline double boundTextureBytes(GLenum target) {
    std::vector<GLenum> faces = {target};
    if (target == GL_TEXTURE_CUBE_MAP) {
        faces.clear();
        for (GLenum f = 0; f < 6; ++f)
            faces.push_back(GL_TEXTURE_CUBE_MAP_POSITIVE_X + f);
    }
    double bytes = 0;
    for (GLenum face : faces) {
        for (GLint level = 0; level < 16; ++level) {
            GLint w = 0, h = 0;
            glGetTexLevelParameteriv(face, level, GL_TEXTURE_WIDTH, &w);
            glGetTexLevelParameteriv(face, level, GL_TEXTURE_HEIGHT, &h);
            if (w <= 0 || h <= 0)
                break;
            bytes += static_cast<double>(w) * h * texelBytes(level, face);
        }
    }
    return bytes;
}

} // namespace detail

// Every texture, renderbuffer and buffer name up to `names` that is alive in
// the current context. Leaves no binding changed but texture unit 7's.
inline GlMemory censusOfGlObjects(GLuint names = 4096) {
    GlMemory m;
    const std::vector<GLuint>& pictures = tovi::textureRegistry.textures();
    while (glGetError() != GL_NO_ERROR) {
    }
    glActiveTexture(GL_TEXTURE7);
    for (GLuint id = 1; id <= names; ++id) {
        if (glIsTexture(id)) {
            // The target a texture was made for is fixed: try 2-D, then cube.
            glBindTexture(GL_TEXTURE_2D, id);
            if (glGetError() == GL_NO_ERROR) {
                const double bytes = detail::boundTextureBytes(GL_TEXTURE_2D);
                glBindTexture(GL_TEXTURE_2D, 0);
                if (std::find(pictures.begin(), pictures.end(), id) != pictures.end()) {
                    m.pictureTextures += bytes;
                    ++m.pictureCount;
                } else {
                    m.targetTextures += bytes;
                }
            } else {
                glBindTexture(GL_TEXTURE_CUBE_MAP, id);
                m.cubeMaps += detail::boundTextureBytes(GL_TEXTURE_CUBE_MAP);
                glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
            }
        }
        if (glIsRenderbuffer(id)) {
            GLint previous = 0, w = 0, h = 0, bits = 0, total = 0;
            glGetIntegerv(GL_RENDERBUFFER_BINDING, &previous);
            glBindRenderbuffer(GL_RENDERBUFFER, id);
            glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_WIDTH, &w);
            glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_HEIGHT, &h);
            for (GLenum size :
                 {GL_RENDERBUFFER_RED_SIZE, GL_RENDERBUFFER_GREEN_SIZE, GL_RENDERBUFFER_BLUE_SIZE,
                  GL_RENDERBUFFER_ALPHA_SIZE, GL_RENDERBUFFER_DEPTH_SIZE, GL_RENDERBUFFER_STENCIL_SIZE}) {
                glGetRenderbufferParameteriv(GL_RENDERBUFFER, size, &bits);
                total += bits;
            }
            m.renderbuffers += static_cast<double>(w) * h * total / 8.0;
            glBindRenderbuffer(GL_RENDERBUFFER, static_cast<GLuint>(previous));
        }
        if (glIsBuffer(id)) {
            GLint previous = 0, size = 0;
            glGetIntegerv(GL_COPY_READ_BUFFER_BINDING, &previous);
            glBindBuffer(GL_COPY_READ_BUFFER, id);
            glGetBufferParameteriv(GL_COPY_READ_BUFFER, GL_BUFFER_SIZE, &size);
            m.buffers += size;
            glBindBuffer(GL_COPY_READ_BUFFER, static_cast<GLuint>(previous));
        }
    }
    glActiveTexture(GL_TEXTURE0);
    while (glGetError() != GL_NO_ERROR) {
    }
    return m;
}

} // namespace bench
