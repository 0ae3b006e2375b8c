#pragma once
// The process-wide library of shader effects and their named presets.

#include <string>

class CEffectLibrary
{
public:
    static CEffectLibrary* Instance();

    /// Reads the presets file; false when it cannot be read.
    bool LoadPresets(const std::string& path);

private:
    CEffectLibrary() = default;
};
