// Colour-keyed video: the picture's texture coordinates through the
// stream's texture matrix (the used part of the texture).
#version 120
void main()
{
    gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;
    gl_Position = ftransform();
}
