// Background video layer: passes the video texture coordinates through the
// stream's texture matrix (which selects the used part of the texture).
#version 120
void main()
{
    gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;
    // The whole frame, 0..1, for the tracker's own two-valued picture.
    gl_TexCoord[1] = gl_MultiTexCoord0;
    gl_FrontColor = gl_Color;
    gl_Position = ftransform();
}
