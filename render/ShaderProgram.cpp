#include "render/ShaderProgram.h"

#include "core/system/Pause.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

namespace tovi {

ShaderProgram::ShaderProgram(std::string vertexPath, std::string fragmentPath) {
    programId = glCreateProgram();
    if (programId == 0) {
        std::cout << "Could not create a shader program" << std::endl;
        pauseAndExit(1);
    }
    vertexShaderId = compile(vertexPath, GL_VERTEX_SHADER);
    fragmentShaderId = compile(fragmentPath, GL_FRAGMENT_SHADER);

    glAttachShader(programId, vertexShaderId);
    glAttachShader(programId, fragmentShaderId);
    glBindFragDataLocation(programId, 0, "fragColor");
    glLinkProgram(programId);

    GLint linked = 0;
    glGetProgramiv(programId, GL_LINK_STATUS, &linked);
    if (linked == 0) {
        GLint length = 0;
        glGetProgramiv(programId, GL_INFO_LOG_LENGTH, &length);
        std::vector<char> log(static_cast<size_t>(length > 0 ? length : 1), '\0');
        glGetProgramInfoLog(programId, static_cast<GLsizei>(log.size()), nullptr, log.data());
        std::cout << "Failed to link shader program" << std::endl;
        std::cout << log.data() << std::endl;
        pauseAndExit(-1);
    }
}

GLuint ShaderProgram::compile(const std::string& path, GLenum type) {
    std::ifstream file(path);
    if (!file.good()) {
        std::cout << "Failed to open shader file: " << path << std::endl;
        pauseAndExit(-1);
    }
    std::string source((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    file.close();

    GLuint shader = glCreateShader(type);
    if (shader == 0) {
        std::cout << "Failed to create shader" << std::endl;
        pauseAndExit(-1);
    }
    if (type == GL_VERTEX_SHADER)
        vertexShaderId = shader;
    else
        fragmentShaderId = shader;

    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);

    GLint compiled = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled == 0 || glIsShader(shader) == GL_FALSE) {
        GLint length = 0;
        glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
        std::vector<char> log(static_cast<size_t>(length > 0 ? length : 1), '\0');
        glGetShaderInfoLog(shader, static_cast<GLsizei>(log.size()), nullptr, log.data());
        std::cout << "Failed to compile shader" << std::endl;
        std::cout << log.data() << std::endl;
        pauseAndExit(-1);
    }
    return shader;
}

ShaderProgram::~ShaderProgram() {
    glDeleteProgram(programId);
    glDeleteShader(vertexShaderId);
    glDeleteShader(fragmentShaderId);
}

} // namespace tovi
