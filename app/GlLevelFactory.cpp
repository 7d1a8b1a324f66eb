#include "app/GlLevelFactory.h"

#include "render/GL.h"
#include "render/Texture.h"
#include "scene/Ring.h"
#include "scene/Track.h"

#include <algorithm>

namespace tovi {

scene::SceneObject* GlLevelFactory::makePiece(const std::string& meshPath, const glm::mat4& model) {
    objects.push_back(std::make_unique<scene::Track>(model, trackShader, physicsWorld, meshPath));
    return objects.back().get();
}

scene::SceneObject* GlLevelFactory::makeRing(const glm::mat4& model) {
    objects.push_back(std::make_unique<scene::Ring>(model, ringShader));
    return objects.back().get();
}

void GlLevelFactory::destroy(scene::SceneObject* object) {
    auto found =
        std::find_if(objects.begin(), objects.end(),
                     [object](const std::unique_ptr<scene::SceneObject>& o) { return o.get() == object; });
    if (found != objects.end())
        objects.erase(found);
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
