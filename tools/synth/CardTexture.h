#pragma once
// A printed marker on a card, as the renderer samples it: the marker picture as
// brightness under unit light (reflectance x 255 per channel), where the marker square lies in it, and the card
// of white paper around it. Card coordinates are the marker frame in mm (origin at
// the marker centre, x right, y up); texel coordinates are continuous picture pixels
// (texel (i, j) covers [i, i+1) x [j, j+1)), sampled nearest, i.e. as printed pixels.

#include <string>
#include <vector>

#include "Image.h"
#include "PngFile.h"

namespace vxsynth {

class CardTexture {
public:
    static constexpr float kInk = 0.04f;    // reflectance of black print
    static constexpr float kPaper = 0.90f;  // reflectance of white paper

    // Builds the card for a picture. `box` is "auto" (the picture's marker box text
    // chunk, else the bounding box of its dark pixels), "full" or "X:Y:SIDE".
    // False with `error` when the box is invalid or not square.
    bool build(const vxtools::Image& picture, const vxtools::PngFile::TextChunks& text, const std::string& box,
               double widthMm, double cardScale, std::string& error);

    // Marker frame (mm) to texel coordinates: texel = (a * mmX + b, -a * mmY + c).
    double scale() const { return texPerMm_; }
    double offsetX() const { return boxCx_; }
    double offsetY() const { return boxCy_; }

    // Half side of the card in mm, and the marker width in mm.
    double cardHalfMm() const { return cardHalfMm_; }
    double widthMm() const { return widthMm_; }

    // Brightness (0..255) at texel coordinates (s, t) known to lie on the card.
    const float* sample(double s, double t) const {
        if (s >= 0 && t >= 0 && s < width_ && t < height_) return &texels_[(size_t(t) * width_ + size_t(s)) * 3];
        return paper_;
    }
    // Whether texel coordinates (s, t) lie in the marker's inner half (the inner picture).
    bool inInner(double s, double t) const { return s > innerS0_ && s < innerS1_ && t > innerT0_ && t < innerT1_; }
    // Card bounds in texel coordinates.
    bool onCard(double s, double t) const { return s >= cardS0_ && s <= cardS1_ && t >= cardT0_ && t <= cardT1_; }

private:
    bool findBox(const vxtools::Image& picture, const vxtools::PngFile::TextChunks& text, const std::string& box,
                 double& x0, double& y0, double& side, std::string& error) const;

    int width_ = 0, height_ = 0;
    std::vector<float> texels_;
    float paper_[3] = {255.0f * kPaper, 255.0f * kPaper, 255.0f * kPaper};
    double texPerMm_ = 1, boxCx_ = 0, boxCy_ = 0;
    double cardHalfMm_ = 0, widthMm_ = 0;
    double cardS0_ = 0, cardS1_ = 0, cardT0_ = 0, cardT1_ = 0;
    double innerS0_ = 0, innerS1_ = 0, innerT0_ = 0, innerT1_ = 0;
};

}  // namespace vxsynth
