#pragma once
// Step 5: the result list: nested duplicates removed, in detection order.
#include <vector>

#include "vxt/MarkerInfo.h"

namespace vxt {

struct ResultParams {
    // Drop a square whose centre lies inside a larger one, unless it is
    // identified and the larger one is not; default on.
    bool removeNested = true;
    int maxResults = 64;       // results kept, 1..1024, default 64
};

void resultStage(const std::vector<MarkerInfo>& candidates, const ResultParams& p,
                 std::vector<MarkerInfo>& results);

}  // namespace vxt
