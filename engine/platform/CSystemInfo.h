#pragma once
// Facts about the machine the engine runs on: the primary screen and the
// current folder.

#include <string>

class CSystemInfo
{
public:
    /// Size of the primary screen in pixels; false (and the arguments left
    /// unchanged) when no display can be opened.
    static bool GetPrimaryScreenSize(int& width, int& height);

    /// The process's current folder, without a trailing slash.
    static std::string GetCurrentFolder();
};
