// Gloss map: eye-space normal and position for the environment lookups, and
// the model's texture coordinates for its texture (unit 0) and gloss map (unit 3).
#version 120
varying vec3 vNormal;
varying vec3 vPosition;
void main()
{
    vNormal = gl_NormalMatrix * gl_Normal;
    vPosition = vec3(gl_ModelViewMatrix * gl_Vertex);
    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_Position = ftransform();
}
