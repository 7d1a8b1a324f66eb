#version 330 core
// Full-screen quad (clip-space positions in slot 0); the texture coordinate
// follows from the position.
layout(location = 0) in vec3 position;

out vec2 uv;

void main() {
    uv = position.xy * 0.5 + 0.5;
    gl_Position = vec4(position.xy, 0.0, 1.0);
}
