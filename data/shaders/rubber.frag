// Rubber: matte and slightly mottled, its surface roughened by small bumps
// from the 3D noise texture, with a broad soft sheen.
#version 120
uniform vec3 BaseColor;
uniform float DiffusePercent;
uniform float SpecularPercent;
uniform float noiseScale;          // bumps per 100 model units, about
uniform sampler2D AmbiOcMap;
uniform sampler2D DiffuseEnvMap;
uniform sampler2D SpecularEnvMap;  // soft highlights
uniform sampler3D NoiseMap;        // one noise octave per channel, from coarse (r) to fine (a)
varying vec3 vNormal;
varying vec3 vPosition;
varying vec3 vModel;

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
    vec3 p = vModel * (noiseScale * 0.01);
    vec4 noise = texture3D(NoiseMap, p);
    // A bump direction from three lookups of the second octave, each
    // brought back to -1..1 (the octave's amplitude is a quarter).
    vec3 slope = vec3(noise.g, texture3D(NoiseMap, p + vec3(0.31, 0.17, 0.53)).g,
                      texture3D(NoiseMap, p + vec3(0.71, 0.43, 0.11)).g) * 8.0 - 1.0;
    vec3 toEye = normalize(-vPosition);
    // Surfaces seen from behind (the inside of a bowl) are lit as their front.
    vec3 n = normalize(vNormal);
    n = faceforward(n, -toEye, n);
    vec3 bump = gl_NormalMatrix * slope;
    n = normalize(n + 0.3 * (bump - dot(bump, n) * n));
    vec3 r = reflect(-toEye, n);
    float mottle = 0.9 + 0.2 * noise.r;
    vec3 occlusion = texture2D(AmbiOcMap, gl_TexCoord[0].st).rgb;
    vec3 diffuse = BaseColor * mottle * environment(DiffuseEnvMap, n) * DiffusePercent;
    vec3 sheen = environment(SpecularEnvMap, r) * (0.35 * SpecularPercent * fresnel(dot(n, toEye), 0.1));
    gl_FragColor = vec4(occlusion * (diffuse + sheen), 1.0);
}
