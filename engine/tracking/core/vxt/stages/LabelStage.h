#pragma once
// Step 2b: connected components (8-connected) of the foreground mask,
// labelled run by run with union-find.
#include <vector>

#include "vxt/ImageView.h"

namespace vxt {

struct LabelParams {
    int minArea = 4;  // labelling pixels; smaller components are not reported, 1.., default 4
};

// A horizontal run of foreground pixels [x0, x1) on row y.
struct Run {
    int x0, x1, y;
    int parent;  // union-find link (run index)
    int perim;   // this run's share of the component's perimeter (pixel edges)
};

struct Component {
    int area;                    // pixels
    int minX, minY, maxX, maxY;  // inclusive bounding box
    int perimeter;               // pixel edges between the component and the rest
    int startX, startY;          // its top-most, then left-most pixel
};

struct Labels {
    std::vector<Run> runs;
    std::vector<int> rowFirst;  // index of the first run of each row; size height + 1
    std::vector<int> compOfRoot;
    std::vector<Component> components;  // in raster order of their first pixel
};

void labelStage(const Plane& mask, const LabelParams& p, Labels& out);

}  // namespace vxt
