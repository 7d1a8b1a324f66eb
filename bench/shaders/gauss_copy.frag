#version 330 core
// Not a blur: one fetch per fragment, the floor of what a full-window pass
// costs on this renderer (for the benchmarks only).
in vec2 uv;

uniform sampler2D image;
uniform int horizontal;

out vec4 fragColor;

void main() {
    fragColor = vec4(texelFetch(image, ivec2(gl_FragCoord.xy), 0).rgb, 1.0);
}
