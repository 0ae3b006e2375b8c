// Hider overlay: the marker patches laid over the camera picture by their
// coverage (the hider texture's alpha). Where no patch was drawn (alpha 0)
// nothing is written, so the background layer's own picture (the video, the
// threshold view, or the clear colour) shows through unchanged.
#version 120
uniform sampler2D markerTex;    // patches, drawn in image coordinates
uniform sampler2D frameBuffer;  // camera picture
void main()
{
    vec2 uv = gl_TexCoord[0].st;
    vec4 patch = texture2D(markerTex, uv);
    if (patch.a <= 0.0) discard;
    // The picture texture holds image row 0 (the top) at t = 0.
    vec3 picture = texture2D(frameBuffer, vec2(uv.s, 1.0 - uv.t)).rgb;
    gl_FragColor = vec4(mix(picture, patch.rgb, patch.a), 1.0);
}
