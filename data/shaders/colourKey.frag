// Colour-keyed video: texels within KeyTolerance of KeyColour (RGB, each
// channel 0..1) are not drawn, so what lies behind shows through; the others
// are drawn as the clip shows them.
#version 120
uniform sampler2D VideoMap;
uniform vec3 KeyColour;
uniform float KeyTolerance;
void main()
{
    vec3 texel = texture2D(VideoMap, gl_TexCoord[0].st).rgb;
    if (distance(texel, KeyColour) <= KeyTolerance) discard;
    gl_FragColor = vec4(texel, 1.0);
}
