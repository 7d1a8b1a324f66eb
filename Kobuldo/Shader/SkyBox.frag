#version 330 core
in vec3 direction;

// the cube map is bound on texture unit 0
uniform samplerCube skyTexture;

layout(location = 0) out vec4 fragColor;
layout(location = 1) out vec4 glowColor;

void main() {
    vec3 color = texture(skyTexture, direction).rgb;
    fragColor = vec4(color, 1.0);
    // only the sun blooms
    float luminance = dot(color, vec3(0.299, 0.587, 0.114));
    glowColor = vec4(color * smoothstep(0.96, 1.0, luminance) * 0.8, 1.0);
}
