#include "vxt/stages/ResultStage.h"

#include <cassert>

#include "src/Geometry.h"

namespace vxt {

void resultStage(const std::vector<MarkerInfo>& cands, const ResultParams& p,
                 std::vector<MarkerInfo>& results) {
    assert(p.maxResults >= 1 && "resultStage: maxResults must be positive");
    results.clear();
    const std::size_t n = cands.size();
    for (std::size_t i = 0; i < n && static_cast<int>(results.size()) < p.maxResults; ++i) {
        bool nested = false;
        if (p.removeNested) {
            for (std::size_t j = 0; j < n && !nested; ++j) {
                if (j == i) continue;
                const MarkerInfo& big = cands[j];
                bool larger = big.area > cands[i].area || (big.area == cands[i].area && j < i);
                nested = larger && insideQuad(big.vertex, cands[i].pos[0], cands[i].pos[1]);
            }
        }
        if (!nested) results.push_back(cands[i]);
    }
}

}  // namespace vxt
