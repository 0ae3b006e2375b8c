// Background video layer through a rectangle texture; see binaryThreshold.frag.
#version 120
#extension GL_ARB_texture_rectangle : enable
uniform sampler2DRect tex;
uniform float threshold;   // 0..1
uniform int useThreshold;  // 0 or 1
uniform sampler2D thresholdPicture;  // the tracker's own picture: 0 black, 1 white
uniform int useThresholdPicture;     // 1: show that picture instead of thresholding here
void main()
{
    vec4 colour = texture2DRect(tex, gl_TexCoord[0].st);
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
