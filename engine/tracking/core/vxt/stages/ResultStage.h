#pragma once
// Step 5: the result list: nested duplicates removed, in detection order.
#include <vector>

#include "vxt/MarkerInfo.h"

namespace vxt {

struct ResultParams {
    bool removeNested = true;  // drop a square whose centre lies inside a larger one; default on
    int maxResults = 64;       // results kept, 1..1024, default 64
};

void resultStage(const std::vector<MarkerInfo>& candidates, const ResultParams& p,
                 std::vector<MarkerInfo>& results);

}  // namespace vxt
