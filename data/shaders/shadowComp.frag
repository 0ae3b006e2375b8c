// Shadow compensation material (see shadowComp.vert): black with an opacity
// of ShadBlend in full shadow, softened over a square of Epsilon (in shadow
// map coordinates) around each point.
#version 120

uniform sampler2DShadow ShadowMap;
uniform float ShadBlend;
uniform float Epsilon;
varying vec4 shadowCoord;

void main()
{
    float lit = 1.0;
    if (shadowCoord.w > 0.0)
    {
        vec4 c = shadowCoord;
        c.z -= 0.0005 * c.w;
        float d = Epsilon * c.w;
        lit = 0.2 * (shadow2DProj(ShadowMap, c).r + shadow2DProj(ShadowMap, c + vec4(-d, -d, 0.0, 0.0)).r +
                     shadow2DProj(ShadowMap, c + vec4(d, -d, 0.0, 0.0)).r +
                     shadow2DProj(ShadowMap, c + vec4(-d, d, 0.0, 0.0)).r +
                     shadow2DProj(ShadowMap, c + vec4(d, d, 0.0, 0.0)).r);
    }
    gl_FragColor = vec4(0.0, 0.0, 0.0, ShadBlend * (1.0 - lit));
}
