// Background video layer through a rectangle texture; see binaryThreshold.frag.
#version 120
#extension GL_ARB_texture_rectangle : enable
uniform sampler2DRect tex;
uniform float threshold;   // 0..1
uniform int useThreshold;  // 0 or 1
void main()
{
    vec4 colour = texture2DRect(tex, gl_TexCoord[0].st);
    if (useThreshold != 0)
    {
        float luminance = dot(colour.rgb, vec3(0.299, 0.587, 0.114));
        colour.rgb = luminance < threshold ? vec3(0.0) : vec3(1.0);
    }
    gl_FragColor = vec4(colour.rgb, 1.0) * gl_Color;
}
