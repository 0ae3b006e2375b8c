#pragma once
#include <string>
#include <vector>

#include "vxt/PatternImage.h"
#include "vxt/Status.h"

namespace vxt {

// Up to 50 patterns the detector matches candidate squares against. Each
// slot keeps the picture and its matching templates (zero-mean, unit-length,
// for the four rotations and the three pattern detection modes), computed
// once at load. The set owns its patterns; a detector only points at it.
class PatternSet {
public:
    static constexpr int kMaxPatterns = 50;
    static constexpr int kCells = PatternImage::kSize * PatternImage::kSize;  // 256
    static constexpr int kCoarseCells = kCells / 4;  // 8 x 8 means of 2 x 2 cells

    // Blur levels of the templates, in cells (Gaussian sigma): a small or
    // defocused marker is seen through the lens and pixel blur spread over
    // several cells, so it is matched against a template blurred alike.
    static constexpr int kBlurLevels = 4;
    static constexpr float kBlurSigma[kBlurLevels] = {0.0f, 0.6f, 1.1f, 1.7f};

    // Matching templates of one pattern. Rotation d is how the pattern looks
    // when sampled with the square's corner 0 as top-left while its printed
    // top-left lies at corner d.
    struct Templates {
        float colour[kBlurLevels][4][kCells * 3];  // mode 0
        float grey[kBlurLevels][4][kCells];        // mode 1
        float flat[kBlurLevels][4][kCells];        // mode 2: grey with linear shading removed
        // The same at 8 x 8 cells, for squares whose cells are smaller than a
        // pixel (their picture holds no finer detail, only noise).
        float coarseColour[kBlurLevels][4][kCoarseCells * 3];
        float coarseGrey[kBlurLevels][4][kCoarseCells];
        float coarseFlat[kBlurLevels][4][kCoarseCells];
        bool usable = false;                       // false for a flat (single-colour) picture
        bool hasColour = false;                    // false for a grey picture: matched on luminance
    };

    PatternSet();

    // Loads a pattern file into a free slot and activates it. Returns the id
    // (0..49) or -1; `why` (optional) receives the reason.
    int load(const std::string& path, Status* why = nullptr);
    // Adds a picture already in memory; id or -1 when the set is full.
    int add(const PatternImage& image);
    // Frees a slot; false if the id holds no pattern.
    bool free(int id);
    bool activate(int id);
    bool deactivate(int id);

    bool isLoaded(int id) const;
    bool isActive(int id) const;
    int count() const;  // loaded patterns

    const PatternImage* image(int id) const;           // null when not loaded
    const Templates* templates(int id) const;          // null when not loaded

    // Builds the templates of a picture (used by the set and by tests).
    static void buildTemplates(const PatternImage& image, Templates& out);

private:
    static void coarsen(Templates& t, int level, int d);

    struct Slot {
        bool loaded = false;
        bool active = false;
        PatternImage image;
        Templates templ;
    };
    std::vector<Slot> slots_;
};

}  // namespace vxt
