// See-through glass: eye-space normal and position for the reflections.
#version 120
varying vec3 vNormal;
varying vec3 vPosition;
void main()
{
    vNormal = gl_NormalMatrix * gl_Normal;
    vPosition = vec3(gl_ModelViewMatrix * gl_Vertex);
    gl_Position = ftransform();
}
