// Thin see-through glass: mostly clear where it faces the viewer, turning
// into a tinted mirror towards its rim, with sharp highlights that stay
// opaque. Drawn blended over the scene.
#version 120
uniform vec3 BaseColor;
uniform float BaseAlpha;        // opacity where the surface faces the viewer
uniform float Mix;              // how much of the reflection shows
uniform float SpecularPercent;
uniform sampler2D ReflectEnvMap;   // the sharp environment
uniform sampler2D SpecularEnvMap;  // the lights alone
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
    float rim = fresnel(dot(n, toEye), 0.04);
    vec3 reflection = environment(ReflectEnvMap, r);
    vec3 highlight = environment(SpecularEnvMap, r) * SpecularPercent;
    vec3 colour = mix(BaseColor, reflection, clamp(Mix * (0.2 + 0.8 * rim), 0.0, 1.0)) + highlight;
    float shine = max(max(highlight.r, highlight.g), highlight.b);
    float alpha = BaseAlpha + (1.0 - BaseAlpha) * (0.85 * rim + shine);
    gl_FragColor = vec4(colour, clamp(alpha, 0.0, 1.0));
}
