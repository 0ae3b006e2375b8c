// Marker hider patch: the picture around the marker, stretched over it, with
// the alpha map's luminance (white: covered) as coverage so the patch fades
// into the surrounding picture at its rim.
#version 120
uniform sampler2D frameBuf;     // camera picture
uniform sampler2D markerAlpha;  // coverage map over the marker
void main()
{
    vec3 picture = texture2D(frameBuf, gl_TexCoord[0].st).rgb;
    float coverage = dot(texture2D(markerAlpha, gl_TexCoord[1].st).rgb, vec3(0.299, 0.587, 0.114));
    gl_FragColor = vec4(picture, coverage);
}
