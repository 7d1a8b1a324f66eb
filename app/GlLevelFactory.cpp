#include "app/GlLevelFactory.h"

#include "render/GL.h"
#include "render/Texture.h"
#include "scene/Ring.h"
#include "scene/Track.h"

namespace tovi {

scene::SceneObject* GlLevelFactory::makePiece(const std::string& meshPath, const glm::mat4& model) {
    return new scene::Track(model, trackShader, physicsWorld, meshPath);
}

scene::SceneObject* GlLevelFactory::makeRing(const glm::mat4& model) {
    return new scene::Ring(model, ringShader);
}

namespace {
void setFilter(GLenum parameter, GLint value) {
    glActiveTexture(GL_TEXTURE5);
    for (GLuint texture : textureRegistry) {
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, parameter, value);
    }
}
} // namespace

void GlLevelFactory::applyMagnificationFilter(bool nearest) {
    setFilter(GL_TEXTURE_MAG_FILTER, nearest ? GL_NEAREST : GL_LINEAR);
}

void GlLevelFactory::applyMinificationFilter(bool nearest) {
    setFilter(GL_TEXTURE_MIN_FILTER, nearest ? GL_NEAREST : GL_LINEAR_MIPMAP_LINEAR);
}

} // namespace tovi
