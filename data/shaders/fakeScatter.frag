// Translucent polished stone (jade, marble, alabaster): light seems to enter
// the stone and spread under its surface. The lit side wraps softly round the
// form, the shadow side keeps a glow of the stone's colour, thin rims let
// through the camera picture behind them, softened as if scattered, and the
// polish adds sharp highlights.
#version 120
uniform vec3 BaseColor;
uniform float Depth;               // how deep light goes: the spread of the light seen through
uniform float MixRatio;            // share of the light seen through the stone
uniform float InRefIndex;          // ratio of refraction indices, outside over inside
uniform float FrameWidth;          // the spread is Depth x 24 pixels of a frame this size
uniform float FrameHeight;
uniform sampler2D RefractionMap;   // the live camera picture, first row at the top of the window
uniform sampler2D SpecMap;         // the lights alone
varying vec3 vNormal;
varying vec3 vPosition;
varying vec4 vClip;

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
    float cosView = clamp(dot(n, toEye), 0.0, 1.0);
    // The studio's key light, up and to the left behind the viewer.
    vec3 light = normalize(vec3(-0.45, 0.6, 0.65));
    float wrapped = max((dot(n, light) + 0.6) / 1.6, 0.0);
    vec3 body = BaseColor * (0.15 + 0.85 * wrapped) + BaseColor * BaseColor * (0.2 * (1.0 - wrapped));
    // Light from behind: the picture along the refracted ray, blurred.
    vec2 screen = vClip.xy / vClip.w * 0.5 + 0.5;
    vec3 inside = refract(-toEye, n, InRefIndex) + toEye;
    vec2 texel = vec2(1.0 / FrameWidth, 1.0 / FrameHeight);
    vec2 centre = vec2(screen.x + inside.x * 0.08, 1.0 - screen.y - inside.y * 0.08);
    vec2 spread = texel * (Depth * 24.0);
    vec3 behind = texture2D(RefractionMap, clamp(centre, 0.0, 1.0)).rgb * 0.2;
    behind += texture2D(RefractionMap, clamp(centre + spread * vec2(1.0, 0.3), 0.0, 1.0)).rgb * 0.2;
    behind += texture2D(RefractionMap, clamp(centre + spread * vec2(-0.3, 1.0), 0.0, 1.0)).rgb * 0.2;
    behind += texture2D(RefractionMap, clamp(centre + spread * vec2(-1.0, -0.3), 0.0, 1.0)).rgb * 0.2;
    behind += texture2D(RefractionMap, clamp(centre + spread * vec2(0.3, -1.0), 0.0, 1.0)).rgb * 0.2;
    float thin = pow(1.0 - cosView, 1.5);
    vec3 through = behind * (BaseColor * 0.6 + 0.4) * (0.45 + 0.55 * thin);
    vec3 colour = mix(body, body * 0.55 + through, clamp(MixRatio * 0.6, 0.0, 1.0));
    vec3 highlight = environment(SpecMap, r) * fresnel(cosView, 0.06) * 1.5;
    gl_FragColor = vec4(colour + highlight, 1.0);
}
