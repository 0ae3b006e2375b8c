// Background video layer. useThreshold 0 shows the video unchanged; 1 shows
// the two-valued picture the tracker works on: with local thresholding the
// tracker's own picture (useThresholdPicture 1), otherwise pixels whose
// luminance (the tracker's weights 0.299, 0.587, 0.114) is below the
// threshold black, all others white.
#version 120
uniform sampler2D tex;
uniform float threshold;   // 0..1
uniform int useThreshold;  // 0 or 1
uniform sampler2D thresholdPicture;  // the tracker's own picture: 0 black, 1 white
uniform int useThresholdPicture;     // 1: show that picture instead of thresholding here
void main()
{
    vec4 colour = texture2D(tex, gl_TexCoord[0].st);
    if (useThreshold != 0 && useThresholdPicture != 0)
    {
        colour.rgb = texture2D(thresholdPicture, gl_TexCoord[1].st).r < 0.5 ? vec3(0.0) : vec3(1.0);
    }
    else if (useThreshold != 0)
    {
        float luminance = dot(colour.rgb, vec3(0.299, 0.587, 0.114));
        colour.rgb = luminance < threshold ? vec3(0.0) : vec3(1.0);
    }
    gl_FragColor = vec4(colour.rgb, 1.0) * gl_Color;
}
