#pragma once
// Debug output of the detector's stages as PGM files (debug mode only;
// these allocate).
#include <string>
#include <vector>

#include "vxt/ImageView.h"
#include "vxt/MarkerInfo.h"
#include "vxt/stages/LabelStage.h"

namespace vxt {

bool writePgm(const std::string& path, const Plane& p);
// Each component in its own grey level.
bool writeLabelPgm(const std::string& path, const Labels& labels, int width, int height);
// The grey image with the squares outlined in white, corner 0 marked black.
bool writeQuadsPgm(const std::string& path, const Plane& grey, const std::vector<MarkerInfo>& quads);

}  // namespace vxt
