// Rubber: eye-space normal and position for the lighting, the model's own
// coordinates for the noise bumps (so they stay on the model as it moves),
// and its texture coordinates for its occlusion (unit 0).
#version 120
varying vec3 vNormal;
varying vec3 vPosition;
varying vec3 vModel;
void main()
{
    vNormal = gl_NormalMatrix * gl_Normal;
    vPosition = vec3(gl_ModelViewMatrix * gl_Vertex);
    vModel = gl_Vertex.xyz;
    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_Position = ftransform();
}
