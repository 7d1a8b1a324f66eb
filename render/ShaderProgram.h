#pragma once
#include "render/GL.h"

#include <string>

namespace tovi {

// One linked GLSL program built from a vertex and a fragment source file.
// Any failure (missing file, compile or link error) is fatal: the message and
// the driver's log are printed and the process ends.
class ShaderProgram {
  public:
    ShaderProgram(std::string vertexPath, std::string fragmentPath);
    ~ShaderProgram();
    ShaderProgram(const ShaderProgram&) = delete;
    ShaderProgram& operator=(const ShaderProgram&) = delete;

    GLuint programId = 0;
    GLuint vertexShaderId = 0;
    GLuint fragmentShaderId = 0;

  private:
    GLuint compile(const std::string& path, GLenum type);
};

} // namespace tovi
