// Diffuse map lit by the environment: the model's diffuse map gives the
// colour, its own texture darkens creases as an occlusion map, and a soft
// sheen of reflected light lies over it.
#version 120
uniform float DiffusePercent;
uniform float SpecularPercent;
uniform sampler2D AmbiOcMap;       // the model's own texture, as occlusion
uniform sampler2D DiffuseMap;      // the model's diffuse map
uniform sampler2D DiffuseEnvMap;
uniform sampler2D SpecularEnvMap;
varying vec3 vNormal;
varying vec3 vPosition;

// Looks up an eye-space direction in a latitude-longitude environment map:
// the direction back towards the viewer (+z) in the middle, up at the top.
// Where the map wraps round (straight ahead, -z) neighbouring pixels would
// get texture coordinates a whole map apart; there the lookup takes a second
// coordinate that runs on smoothly (its own jump lies where u does not jump),
// which keeps the lookup free of a seam.
vec3 environment(sampler2D map, vec3 direction)
{
    vec3 d = normalize(direction);
    float u = 0.5 + atan(d.x, d.z + 1.0e-6) * 0.15915494;
    float v = 0.5 + asin(clamp(d.y, -1.0, 1.0)) * 0.31830989;
    float across = fract(u + 0.5) - 0.5;
    float s = fwidth(u) > fwidth(across) + 0.25 ? across : u;
    return texture2D(map, vec2(s, v)).rgb;
}

// Share of light a surface reflects at this angle (Schlick).
float fresnel(float cosAngle, float facing)
{
    float c = 1.0 - clamp(cosAngle, 0.0, 1.0);
    float c2 = c * c;
    return facing + (1.0 - facing) * c2 * c2 * c;
}

void main()
{
    vec3 toEye = normalize(-vPosition);
    // Surfaces seen from behind (the inside of a bowl) are lit as their front.
    vec3 n = normalize(vNormal);
    n = faceforward(n, -toEye, n);
    vec3 r = reflect(-toEye, n);
    vec2 uv = gl_TexCoord[0].st;
    vec3 occlusion = texture2D(AmbiOcMap, uv).rgb;
    vec3 albedo = texture2D(DiffuseMap, uv).rgb;
    vec3 diffuse = albedo * environment(DiffuseEnvMap, n) * (1.1 * DiffusePercent);
    vec3 sheen = environment(SpecularEnvMap, r) * (SpecularPercent * fresnel(dot(n, toEye), 0.08));
    gl_FragColor = vec4(occlusion * (diffuse + sheen), 1.0);
}
