#version 330 core
// Blur candidate for the benchmarks (not used by the game): the shipped
// five-tap kernel, read with texture() at texel centres. The blur targets
// sample with GL_NEAREST and GL_CLAMP_TO_EDGE, so this gives the same texels
// as texelFetch with clamped coordinates, without the integer clamps.
in vec2 uv;

uniform sampler2D image;
uniform int horizontal;

out vec4 fragColor;

const float weight0 = 0.3320;
const float weight1 = 0.2414;
const float weight2 = 0.0926;

void main() {
    vec2 texel = 1.0 / vec2(textureSize(image, 0));
    vec2 at = gl_FragCoord.xy * texel;
    vec2 step = horizontal != 0 ? vec2(2.0 * texel.x, 0.0) : vec2(0.0, 2.0 * texel.y);
    vec3 sum = texture(image, at).rgb * weight0;
    sum += texture(image, at + step).rgb * weight1;
    sum += texture(image, at - step).rgb * weight1;
    sum += texture(image, at + 2.0 * step).rgb * weight2;
    sum += texture(image, at - 2.0 * step).rgb * weight2;
    fragColor = vec4(sum, 1.0);
}
