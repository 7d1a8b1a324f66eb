#version 330 core
// One direction of a separable Gaussian blur of the glow image, drawn into a
// target of half the window's size. Five taps two window pixels apart (one
// target pixel) cover a wide kernel for little work; the first pass reads the
// full-size glow between four texels, so linear filtering averages them. The
// horizontal direction runs twice per frame, which smooths the gaps between
// taps.
in vec2 uv;

uniform sampler2D image;
uniform int horizontal;
// Distance between taps in texture coordinates: two window pixels.
uniform vec2 tapStep;

out vec4 fragColor;

const float weight0 = 0.3320;
const float weight1 = 0.2414;
const float weight2 = 0.0926;

void main() {
    vec2 step = horizontal != 0 ? vec2(tapStep.x, 0.0) : vec2(0.0, tapStep.y);
    vec3 sum = texture(image, uv).rgb * weight0;
    sum += texture(image, uv + step).rgb * weight1;
    sum += texture(image, uv - step).rgb * weight1;
    sum += texture(image, uv + 2.0 * step).rgb * weight2;
    sum += texture(image, uv - 2.0 * step).rgb * weight2;
    fragColor = vec4(sum, 1.0);
}
