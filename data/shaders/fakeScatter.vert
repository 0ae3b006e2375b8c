// Translucent stone: eye-space normal and position for the lighting, and the
// clip-space position to find the camera picture behind each fragment.
#version 120
varying vec3 vNormal;
varying vec3 vPosition;
varying vec4 vClip;
void main()
{
    vNormal = gl_NormalMatrix * gl_Normal;
    vPosition = vec3(gl_ModelViewMatrix * gl_Vertex);
    gl_Position = ftransform();
    vClip = gl_Position;
}
