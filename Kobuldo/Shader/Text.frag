#version 330 core
in vec2 uv;

uniform sampler2D myTextureSampler;
// the line's colour; white, or black (never set), leave the font as it is
uniform vec3 tint;

layout(location = 0) out vec4 fragColor;
layout(location = 1) out vec4 glowColor;

void main() {
    vec4 texel = texture(myTextureSampler, uv);
    // empty parts of a glyph cell must not write depth, or they would hide
    // the sky and the scene drawn after the HUD
    if (texel.a < 0.02)
        discard;
    vec3 colour = tint == vec3(0.0) ? vec3(1.0) : tint;
    fragColor = vec4(texel.rgb * colour, texel.a);
    glowColor = vec4(0.0);
}
