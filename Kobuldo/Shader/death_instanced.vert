#version 330 core
// Shadow pass, the casters of one kind in one instanced draw: depth as seen
// from the sun, the model matrix given per instance.
layout(location = 0) in vec3 position;
layout(location = 1) in mat4 instanceModel;

uniform mat4 lightVP;

void main() {
    gl_Position = lightVP * instanceModel * vec4(position, 1.0);
}
