#version 330 core
// HUD text. Text space is 800 x 600 units with y growing upwards (lines from
// 20 to 595); it covers the whole window. Text sits at the very front.
layout(location = 0) in vec2 screenPosition;
layout(location = 1) in vec2 vertexUV;

out vec2 uv;

void main() {
    vec2 clip = screenPosition / vec2(400.0, 300.0) - 1.0;
    gl_Position = vec4(clip, -0.999, 1.0);
    uv = vertexUV;
}
