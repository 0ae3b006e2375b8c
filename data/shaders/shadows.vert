// Shadow library linked into material programs that receive shadows:
// shadowTexGen maps an eye-space point into the shadow map of each light with
// a map (NUM_SHADOWS of them, at most four), through the eye planes that the
// light's texture-generation node sets on texture unit SHADOW_TEXGEN_<k>.
#version 120

#if NUM_SHADOWS > 0
varying vec4 shadowCoord0;
#endif
#if NUM_SHADOWS > 1
varying vec4 shadowCoord1;
#endif
#if NUM_SHADOWS > 2
varying vec4 shadowCoord2;
#endif
#if NUM_SHADOWS > 3
varying vec4 shadowCoord3;
#endif

vec4 planes(vec4 ec, int unit)
{
    return vec4(dot(ec, gl_EyePlaneS[unit]), dot(ec, gl_EyePlaneT[unit]), dot(ec, gl_EyePlaneR[unit]),
                dot(ec, gl_EyePlaneQ[unit]));
}

void shadowTexGen(vec4 ecPos)
{
#if NUM_SHADOWS > 0
    shadowCoord0 = planes(ecPos, SHADOW_TEXGEN_0);
#endif
#if NUM_SHADOWS > 1
    shadowCoord1 = planes(ecPos, SHADOW_TEXGEN_1);
#endif
#if NUM_SHADOWS > 2
    shadowCoord2 = planes(ecPos, SHADOW_TEXGEN_2);
#endif
#if NUM_SHADOWS > 3
    shadowCoord3 = planes(ecPos, SHADOW_TEXGEN_3);
#endif
}
