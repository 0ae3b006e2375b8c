// Shadow library (see shadows.vert): shadowOf(light) is 1 where the light
// reaches the point and 0 in its shadow, averaged over four taps one texel
// apart (shadowTexelSize, set by the light rig) for a soft edge. Lights
// without a shadow map give 1.
#version 120

uniform float shadowTexelSize;
#if NUM_SHADOWS > 0
uniform sampler2DShadow ShadowMap0;
varying vec4 shadowCoord0;
#endif
#if NUM_SHADOWS > 1
uniform sampler2DShadow ShadowMap1;
varying vec4 shadowCoord1;
#endif
#if NUM_SHADOWS > 2
uniform sampler2DShadow ShadowMap2;
varying vec4 shadowCoord2;
#endif
#if NUM_SHADOWS > 3
uniform sampler2DShadow ShadowMap3;
varying vec4 shadowCoord3;
#endif

float lookup(sampler2DShadow map, vec4 coord)
{
    if (coord.w <= 0.0) return 1.0;  // behind the light
    coord.z -= 0.0005 * coord.w;     // depth bias against self-shadowing
    float d = shadowTexelSize * coord.w;
    float sum = shadow2DProj(map, coord + vec4(-d, -d, 0.0, 0.0)).r + shadow2DProj(map, coord + vec4(d, -d, 0.0, 0.0)).r +
                shadow2DProj(map, coord + vec4(-d, d, 0.0, 0.0)).r + shadow2DProj(map, coord + vec4(d, d, 0.0, 0.0)).r;
    return sum * 0.25;
}

float shadowOf(int light)
{
#if NUM_SHADOWS > 0
    if (light == SHADOW_TEXGEN_0) return lookup(ShadowMap0, shadowCoord0);
#endif
#if NUM_SHADOWS > 1
    if (light == SHADOW_TEXGEN_1) return lookup(ShadowMap1, shadowCoord1);
#endif
#if NUM_SHADOWS > 2
    if (light == SHADOW_TEXGEN_2) return lookup(ShadowMap2, shadowCoord2);
#endif
#if NUM_SHADOWS > 3
    if (light == SHADOW_TEXGEN_3) return lookup(ShadowMap3, shadowCoord3);
#endif
    return 1.0;
}
