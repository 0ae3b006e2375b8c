#include "KnownTags.h"

#include "CEffectLibrary.h"

#include <algorithm>
#include <set>

namespace
{
const std::set<std::string>& knownTags()
{
    static const std::set<std::string> tags = {
#include "KnownTags.inc"
    };
    return tags;
}
}

bool KnownTags::Has(const std::string& tag)
{
    if (tag.size() > 2 && tag[0] == '<' && tag[1] == '/') return Has("<" + tag.substr(2));
    if (knownTags().count(tag) > 0) return true;
    // The effect presets file has a block per effect type, named like the type.
    const std::vector<std::string>& types = CEffectLibrary::TypeNames();
    return tag.size() > 2 && tag.back() == '>' &&
           std::find(types.begin(), types.end(), tag.substr(1, tag.size() - 2)) != types.end();
}
