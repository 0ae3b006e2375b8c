#pragma once
// The tags the engine knows: every "<TAG>" written in the engine's sources,
// gathered at build time (KnownTags.cmake), so a tag the engine learns is
// known here without a second list to keep; and the effect presets' block
// tags, one per effect type (CEffectLibrary::TypeNames). A closing tag
// "</TAG>" is known when "<TAG>" is.

#include <string>

class KnownTags
{
public:
    static bool Has(const std::string& tag);
};
