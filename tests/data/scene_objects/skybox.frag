#version 330 core
in vec3 direction;
uniform samplerCube sky;
out vec4 fragColor;
void main() { fragColor = texture(sky, direction); }
