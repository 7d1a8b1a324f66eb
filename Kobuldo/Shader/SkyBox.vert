#version 330 core
// Sky cube around the camera. The view matrix has no translation; depth is
// pushed to just in front of the far plane so everything else covers it.
layout(location = 0) in vec3 position;

uniform mat4 view;
uniform mat4 projection;

out vec3 direction;

void main() {
    direction = position;
    vec4 clip = projection * view * vec4(position, 1.0);
    gl_Position = vec4(clip.xy, clip.w * 0.99999, clip.w);
}
