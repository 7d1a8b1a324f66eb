#version 330 core
// Position-only program like the shadow pass's.
layout(location = 0) in vec3 position;
uniform mat4 depthMVP;
void main() { gl_Position = depthMVP * vec4(position, 1.0); }
