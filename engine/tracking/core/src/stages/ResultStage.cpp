#include "vxt/stages/ResultStage.h"

#include <cassert>

#include "src/Geometry.h"

namespace vxt {

namespace {

// True when `inner` duplicates part of the larger square `outer`: its centre
// lies inside it and it adds nothing (the outer square is identified, or
// neither is). An identified square inside an unidentified one (a marker on a
// screen with a dark bezel) is kept.
bool isNestedIn(const MarkerInfo& inner, const MarkerInfo& outer, bool outerFirst) {
    double a = quadArea(inner.vertex), b = quadArea(outer.vertex);
    bool larger = b > a || (b == a && outerFirst);
    if (!larger || !insideQuad(outer.vertex, inner.pos[0], inner.pos[1])) return false;
    return outer.id >= 0 || inner.id < 0;
}

}  // namespace

void resultStage(const std::vector<MarkerInfo>& cands, const ResultParams& p,
                 std::vector<MarkerInfo>& results) {
    assert(p.maxResults >= 1 && "resultStage: maxResults must be positive");
    results.clear();
    const std::size_t n = cands.size();
    for (std::size_t i = 0; i < n && static_cast<int>(results.size()) < p.maxResults; ++i) {
        bool nested = false;
        for (std::size_t j = 0; p.removeNested && j < n && !nested; ++j)
            nested = j != i && isNestedIn(cands[i], cands[j], j < i);
        if (!nested) results.push_back(cands[i]);
    }
}

}  // namespace vxt
