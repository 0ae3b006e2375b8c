#pragma once
// Colour keying of a video picture: texels whose colour lies within a
// tolerance of the key colour are not drawn, so what is behind shows through
// (a green screen behind a presenter, a clip's blue background). The picture
// is drawn unlit, as the clip shows it.
//
// Distance is measured in RGB with each channel 0..1: a texel is keyed out
// when |texel - key| <= tolerance (0 keys out the exact colour only; 0.3 a
// green screen under uneven light and video compression; sqrt(3) everything).
//
// Drawn by "shaders/colourKey.vert" with "shaders/colourKey.frag" (2D
// textures) or "shaders/colourKeyRect.frag" (rectangle textures), uniforms
// "VideoMap" (the picture's texture unit), "KeyColour" and "KeyTolerance".

#include <osg/StateSet>
#include <osg/Vec3f>

class CColourKey
{
public:
    /// Gives `state` the keying program for the picture on `unit`. A missing
    /// shader file is logged once per call and the picture is drawn unkeyed.
    static void Apply(osg::StateSet* state, const osg::Vec3f& keyColour, float tolerance, bool textureRectangle,
                      unsigned int unit = 0);
    /// What the program does to one texel: true when it is keyed out.
    static bool KeyedOut(const osg::Vec3f& texel, const osg::Vec3f& keyColour, float tolerance)
    {
        return (texel - keyColour).length() <= tolerance;
    }
};
