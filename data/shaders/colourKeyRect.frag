// Colour-keyed video from a rectangle texture (coordinates in pixels, as the
// stream's texture matrix gives them): texels within KeyTolerance of
// KeyColour are not drawn, the others are drawn as the clip shows them.
#version 120
#extension GL_ARB_texture_rectangle : enable
uniform sampler2DRect VideoMap;
uniform vec3 KeyColour;
uniform float KeyTolerance;
void main()
{
    vec3 texel = texture2DRect(VideoMap, gl_TexCoord[0].st).rgb;
    if (distance(texel, KeyColour) <= KeyTolerance) discard;
    gl_FragColor = vec4(texel, 1.0);
}
