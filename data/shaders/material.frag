// Material program of "ADVANCED" materials (see material.vert). Samplers:
// diffuseMap (unit 0), channel1 (tangent-space normal map), reflectionMap
// (sphere map, unit 14) with reflectionStrength, specularMap (cube, unit 15)
// with specularStrength; alpha scales the result's opacity.
#version 120

varying vec3 ecPosition;
varying vec3 ecNormal;
#ifdef USE_TANGENT_SPACE
varying vec3 ecTangent;
varying vec3 ecBinormal;
#endif

uniform float alpha;
#ifdef HAS_DIFFUSE_MAP
uniform sampler2D diffuseMap;
#endif
#ifdef HAS_NORMAL_MAP
uniform sampler2D channel1;
#endif
#ifdef HAS_REFLECTION_MAP
uniform sampler2D reflectionMap;
uniform float reflectionStrength;
#endif
#ifdef HAS_SPECULAR_MAP
uniform samplerCube specularMap;
uniform float specularStrength;
#endif
#if NUM_SHADOWS > 0
float shadowOf(int light);
#endif

vec3 surfaceNormal()
{
    vec3 n = normalize(ecNormal);
#ifdef HAS_NORMAL_MAP
    vec3 t = texture2D(channel1, gl_TexCoord[0].st).xyz * 2.0 - 1.0;
    n = normalize(t.x * normalize(ecTangent) + t.y * normalize(ecBinormal) + t.z * n);
#endif
    return gl_FrontFacing ? n : -n;
}

void main()
{
    vec3 n = surfaceNormal();
    vec3 v = normalize(-ecPosition);
    vec4 base = gl_FrontMaterial.diffuse;
#ifdef HAS_DIFFUSE_MAP
    base *= texture2D(diffuseMap, gl_TexCoord[0].st);
#endif
    vec3 colour = gl_FrontMaterial.emission.rgb + gl_LightModel.ambient.rgb * gl_FrontMaterial.ambient.rgb;
    vec3 specular = vec3(0.0);
    for (int i = 0; i < NUM_LIGHTS; ++i)
    {
        vec3 l;
        float attenuation = 1.0;
        if (gl_LightSource[i].position.w == 0.0)
            l = normalize(gl_LightSource[i].position.xyz);
        else
        {
            vec3 d = gl_LightSource[i].position.xyz / gl_LightSource[i].position.w - ecPosition;
            float distance = length(d);
            l = d / max(distance, 1e-6);
            attenuation = 1.0 / max(1e-6, gl_LightSource[i].constantAttenuation +
                                              gl_LightSource[i].linearAttenuation * distance +
                                              gl_LightSource[i].quadraticAttenuation * distance * distance);
        }
        float lit = 1.0;
#if NUM_SHADOWS > 0
        lit = shadowOf(i);
#endif
        float nl = max(dot(n, l), 0.0);
        colour += attenuation * (gl_LightSource[i].ambient.rgb * gl_FrontMaterial.ambient.rgb +
                                 lit * nl * gl_LightSource[i].diffuse.rgb * base.rgb);
        if (nl > 0.0)
        {
            vec3 h = normalize(l + v);
            float shine = pow(max(dot(n, h), 0.0), max(gl_FrontMaterial.shininess, 1.0));
            specular += attenuation * lit * shine * gl_LightSource[i].specular.rgb * gl_FrontMaterial.specular.rgb;
        }
    }
    vec3 r = reflect(-v, n);
#ifdef HAS_REFLECTION_MAP
    float m = 2.0 * sqrt(r.x * r.x + r.y * r.y + (r.z + 1.0) * (r.z + 1.0));
    colour = mix(colour, texture2D(reflectionMap, r.xy / max(m, 1e-6) + 0.5).rgb, clamp(reflectionStrength, 0.0, 1.0));
#endif
#ifdef HAS_SPECULAR_MAP
    specular += textureCube(specularMap, r).rgb * specularStrength;
#endif
    gl_FragColor = vec4(colour + specular, base.a * alpha);
}
