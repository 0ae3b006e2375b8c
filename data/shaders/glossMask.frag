// Gloss-mapped surface: the model's own texture and colour lit by the
// blurred environment, and reflections only where the gloss map is bright
// (varnished wood grain, wet patches, printed lacquer).
#version 120
uniform float DiffusePercent;
uniform float SpecularPercent;
uniform sampler2D baseTex;         // the model's own texture
uniform sampler2D maskMap;         // gloss map: white glossy, black matte
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
    vec3 base = texture2D(baseTex, uv).rgb * gl_FrontMaterial.diffuse.rgb;
    float gloss = dot(texture2D(maskMap, uv).rgb, vec3(0.299, 0.587, 0.114));
    vec3 diffuse = base * environment(DiffuseEnvMap, n) * (1.1 * DiffusePercent);
    vec3 specular = environment(SpecularEnvMap, r) * (gloss * SpecularPercent * fresnel(dot(n, toEye), 0.3));
    gl_FragColor = vec4(diffuse + specular, 1.0);
}
