#version 330 core
// Blur candidate for the benchmarks (not used by the game): three taps two
// texels apart, weights 1/4, 1/2, 1/4. Over the game's three passes
// (horizontal, vertical, horizontal) this still spreads the glow over about
// nine texels each way, at three fetches instead of five.
in vec2 uv;

uniform sampler2D image;
uniform int horizontal;

out vec4 fragColor;

void main() {
    ivec2 hi = textureSize(image, 0) - 1;
    ivec2 p = ivec2(gl_FragCoord.xy);
    ivec2 step = horizontal != 0 ? ivec2(2, 0) : ivec2(0, 2);
    vec3 sum = texelFetch(image, p, 0).rgb * 0.5;
    sum += texelFetch(image, min(p + step, hi), 0).rgb * 0.25;
    sum += texelFetch(image, max(p - step, ivec2(0)), 0).rgb * 0.25;
    fragColor = vec4(sum, 1.0);
}
