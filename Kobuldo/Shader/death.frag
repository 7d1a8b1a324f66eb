#version 330 core
// Only depth is kept; the shadow framebuffer has no colour attachment.
out vec4 fragColor;

void main() {
    fragColor = vec4(gl_FragCoord.z);
}
