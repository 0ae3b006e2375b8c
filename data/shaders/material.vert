// Material program of "ADVANCED" materials: per-pixel lighting from every
// light of the light rig, with the material's optional maps. The engine
// compiles it with #defines after the #version line: NUM_LIGHTS,
// NUM_SHADOWS, HAS_DIFFUSE_MAP, HAS_NORMAL_MAP, HAS_REFLECTION_MAP,
// HAS_SPECULAR_MAP, USE_TANGENT_SPACE. With shadows, shadows.vert is linked
// in and gives shadowTexGen.
#version 120

varying vec3 ecPosition;
varying vec3 ecNormal;
#ifdef USE_TANGENT_SPACE
attribute vec3 tangent;
attribute vec3 binormal;
varying vec3 ecTangent;
varying vec3 ecBinormal;
#endif
#if NUM_SHADOWS > 0
void shadowTexGen(vec4 ecPos);
#endif

void main()
{
    vec4 ec = gl_ModelViewMatrix * gl_Vertex;
    ecPosition = ec.xyz / ec.w;
    ecNormal = normalize(gl_NormalMatrix * gl_Normal);
#ifdef USE_TANGENT_SPACE
    ecTangent = normalize(gl_NormalMatrix * tangent);
    ecBinormal = normalize(gl_NormalMatrix * binormal);
#endif
    gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;
    gl_FrontColor = gl_Color;
#if NUM_SHADOWS > 0
    shadowTexGen(ec);
#endif
    gl_Position = ftransform();
}
