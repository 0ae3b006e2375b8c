// Marker hider patch: drawn in camera-image pixels into the hider texture.
// Unit 0 coordinates sample the camera picture just beyond the marker's
// edges; unit 1 coordinates run over the marker for the alpha map.
#version 120
void main()
{
    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_TexCoord[1] = gl_MultiTexCoord1;
    gl_Position = ftransform();
}
