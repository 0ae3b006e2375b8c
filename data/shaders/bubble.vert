// Soap bubble: a sphere whose surface is pulled towards neighbouring bubbles
// as they come close (so two bubbles about to touch bulge into each other),
// with the eye-space normal and position for the film colours and the
// clip-space position to find the camera picture behind each fragment.
#version 120
uniform int BlobbyCount;              // bubbles in BlobbyPos
uniform vec4 BlobbyPos[20];           // every bubble's centre (eye space) and radius; radius 0: out of play
uniform vec4 LocalBlobbyPos;          // the bubble being drawn
uniform float RadiusOfInfluence;      // neighbours nearer than this (beyond their radius) pull
uniform float BailOut;                // the largest pull
varying vec3 vNormal;
varying vec3 vPosition;
varying vec4 vClip;

void main()
{
    vec3 n = normalize(gl_NormalMatrix * gl_Normal);
    vec4 eye = gl_ModelViewMatrix * gl_Vertex;
    float pull = 0.0;
    for (int i = 0; i < 20; ++i)
    {
        if (i >= BlobbyCount) break;
        vec4 other = BlobbyPos[i];
        if (other.w <= 0.0 || distance(other.xyz, LocalBlobbyPos.xyz) < 0.001) continue;
        vec3 towards = other.xyz - eye.xyz;
        float gap = length(towards) - other.w;
        if (gap < RadiusOfInfluence)
            pull += max(dot(n, normalize(towards)), 0.0) * (1.0 - max(gap, 0.0) / RadiusOfInfluence) * BailOut;
    }
    eye.xyz += n * min(pull, BailOut);
    vNormal = n;
    vPosition = eye.xyz;
    gl_Position = gl_ProjectionMatrix * eye;
    vClip = gl_Position;
}
