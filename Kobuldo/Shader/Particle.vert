#version 330 core
// Camera-facing particle quads, one instance per particle.
layout(location = 0) in vec3 squareVertices;
layout(location = 1) in vec4 xyzs;   // centre and size
layout(location = 2) in vec4 color;  // normalised bytes

uniform vec3 camRightWorld;
uniform vec3 camUpWorld;
uniform mat4 VP;

out vec2 uv;
out vec4 particleColor;

void main() {
    float size = xyzs.w;
    vec3 world = xyzs.xyz + camRightWorld * squareVertices.x * size + camUpWorld * squareVertices.y * size;
    gl_Position = VP * vec4(world, 1.0);
    uv = squareVertices.xy + vec2(0.5);
    particleColor = color;
}
