// Solid glass: the camera picture behind the model, bent along the refracted
// view ray (so the table shows through, distorted towards the rim), tinted
// by the glass colour and darker where the glass is thick at the edges, with
// reflected highlights.
#version 120
uniform sampler2D RefractionMap;   // the live camera picture, first row at the top of the window
uniform sampler2D EnvMap;          // optional reflection (adds nothing when the unit is empty)
uniform sampler2D SpecMap;         // the lights alone
uniform float Depth;               // how far the picture is bent
uniform float MixRatio;            // how much of the tint is mixed in
uniform vec3 BaseColor;
uniform float FrameWidth;          // the bend is Depth x 512 pixels of a frame this size
uniform float FrameHeight;
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
    float cosView = dot(n, toEye);
    vec2 screen = vClip.xy / vClip.w * 0.5 + 0.5;
    vec3 bent = refract(-toEye, n, 0.67) + toEye;
    vec2 shift = bent.xy * Depth * vec2(512.0 / FrameWidth, 512.0 / FrameHeight);
    vec2 picture = vec2(screen.x + shift.x, 1.0 - screen.y - shift.y);
    vec3 behind = texture2D(RefractionMap, clamp(picture, 0.0, 1.0)).rgb;
    float thickness = 1.0 - 0.4 * (1.0 - clamp(cosView, 0.0, 1.0));
    vec3 body = mix(behind, behind * BaseColor, MixRatio) * thickness;
    float reflectance = fresnel(cosView, 0.05);
    vec3 reflection = texture2D(EnvMap, r.xy * 0.5 + 0.5).rgb * reflectance;
    vec3 highlight = environment(SpecMap, r) * (0.4 + 0.6 * reflectance);
    gl_FragColor = vec4(body * (1.0 - reflectance) + reflection + highlight, 1.0);
}
