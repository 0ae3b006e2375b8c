// Polished metal: the environment reflected in a colour of its own (gold,
// copper...), turning towards white at grazing angles as real metals do, over
// a little diffuse light. Which reflection map is bound makes it soft metal,
// a chrome mirror or brushed metal (reflections streaked sideways).
#version 120
uniform vec3 BaseColor;
uniform float DiffusePercent;
uniform float SpecularPercent;
uniform sampler2D AmbiOcMap;       // the model's own texture, as occlusion
uniform sampler2D DiffuseEnvMap;   // light arriving from each direction, blurred
uniform sampler2D SpecularEnvMap;  // the environment as a mirror sees it
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
    float cosView = dot(n, toEye);
    vec3 occlusion = texture2D(AmbiOcMap, gl_TexCoord[0].st).rgb;
    vec3 diffuse = BaseColor * environment(DiffuseEnvMap, n) * (0.3 * DiffusePercent);
    vec3 tint = mix(BaseColor, vec3(1.0), fresnel(cosView, 0.0));
    vec3 specular = tint * environment(SpecularEnvMap, r) * SpecularPercent;
    gl_FragColor = vec4(occlusion * (diffuse + specular), 1.0);
}
