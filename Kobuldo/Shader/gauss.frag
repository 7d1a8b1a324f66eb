#version 330 core
// One direction of a separable Gaussian blur of the glow image. The target
// has the size of the source, so each fragment reads texels directly. Five
// taps two texels apart cover a wide kernel for little work; the horizontal
// direction runs twice per frame, which smooths the gaps between taps.
in vec2 uv;

uniform sampler2D image;
uniform int horizontal;

out vec4 fragColor;

const float weight0 = 0.3320;
const float weight1 = 0.2414;
const float weight2 = 0.0926;

void main() {
    ivec2 size = textureSize(image, 0);
    ivec2 p = ivec2(gl_FragCoord.xy);
    ivec2 step = horizontal != 0 ? ivec2(2, 0) : ivec2(0, 2);
    ivec2 hi = size - 1;
    vec3 sum = texelFetch(image, p, 0).rgb * weight0;
    sum += texelFetch(image, clamp(p + step, ivec2(0), hi), 0).rgb * weight1;
    sum += texelFetch(image, clamp(p - step, ivec2(0), hi), 0).rgb * weight1;
    sum += texelFetch(image, clamp(p + 2 * step, ivec2(0), hi), 0).rgb * weight2;
    sum += texelFetch(image, clamp(p - 2 * step, ivec2(0), hi), 0).rgb * weight2;
    fragColor = vec4(sum, 1.0);
}
