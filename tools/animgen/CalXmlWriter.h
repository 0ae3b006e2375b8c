#pragma once
// Writes the demo character in Cal3D's XML file formats: skeleton (.xsf),
// mesh (.xmf), material (.xrf) and animations (.xaf), version 919.
//
// Bones rest unrotated, so a bone's translation is its joint less its
// parent's and its bind ("local") translation is minus its joint. Cal3D turns
// vectors by the conjugate of what the usual convention means by a
// quaternion, so rotations are written conjugated.

#include "Character.h"

#include <string>

namespace calxml
{
bool WriteSkeleton(const std::string& file);
bool WriteMesh(const std::string& file);
bool WriteMaterial(const std::string& file, const std::string& textureName);
bool WriteAnimation(const std::string& file, const walker::Animation& animation);
}
