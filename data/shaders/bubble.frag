// Soap bubble: the camera picture behind the bubble, bent a little through
// it, under a thin soap film whose colour (from the rainbow texture) follows
// the angle at which the eye meets the film, swirling differently on every
// bubble; reflections of the environment and a highlight from the light. The
// film is clear where it faces the eye and most coloured at the rim.
#version 120
uniform sampler2D RainbowMap;      // thin-film colours along s
uniform sampler2D RefractionMap;   // the live camera picture, first row at the top of the window
uniform sampler2D EnvMap;          // what the film reflects
uniform vec3 BaseColor;            // tint of the picture seen through the bubble
uniform float MixRatio;            // how much of the film colour covers the picture
uniform float FrameWidth;          // the camera picture's size in pixels
uniform float FrameHeight;
uniform vec3 LightPos;             // eye space
uniform vec4 LocalBlobbyPos;       // this bubble's centre and radius
varying vec3 vNormal;
varying vec3 vPosition;
varying vec4 vClip;

void main()
{
    vec3 toEye = normalize(-vPosition);
    vec3 n = normalize(vNormal);
    n = faceforward(n, -toEye, n);
    float facing = clamp(dot(n, toEye), 0.0, 1.0);
    float rim = 1.0 - facing;

    // The film's thickness: its angle to the eye, plus slow swirls that
    // differ from bubble to bubble.
    vec3 local = (vPosition - LocalBlobbyPos.xyz) / max(LocalBlobbyPos.w, 0.001);
    float swirl = 0.12 * sin(local.x * 3.1 + local.y * 4.7 + LocalBlobbyPos.w) + 0.08 * sin(local.z * 5.3 - local.y * 2.3);
    vec3 film = texture2D(RainbowMap, vec2(fract(rim * 0.9 + swirl + 0.1), 0.5)).rgb;

    // The picture behind, bent towards the rim (about 4 pixels of a 640-wide frame at most).
    vec2 screen = vClip.xy / vClip.w * 0.5 + 0.5;
    vec2 bend = n.xy * rim * vec2(4.0 / FrameWidth, 4.0 / FrameHeight) * 4.0;
    vec2 picture = vec2(screen.x - bend.x, 1.0 - screen.y + bend.y);
    vec3 behind = texture2D(RefractionMap, clamp(picture, 0.0, 1.0)).rgb * BaseColor;

    vec3 r = reflect(-toEye, n);
    vec3 reflection = texture2D(EnvMap, r.xy * 0.5 + 0.5).rgb * (0.1 + 0.4 * rim * rim);
    vec3 toLight = normalize(LightPos - vPosition);
    float highlight = pow(max(dot(reflect(-toLight, n), toEye), 0.0), 40.0);

    float cover = MixRatio * (0.25 + 0.75 * rim * rim);
    vec3 colour = mix(behind, film, cover) + reflection + vec3(highlight);
    gl_FragColor = vec4(colour, 0.35 + 0.6 * rim);
}
