#pragma once
// Which files of a content set are content: the kinds of file the engine
// reads from the content folder and "Data", the engine's own files there
// (named by the engine itself, not by the content), and the blocks that
// begin at the top level of a data file. Extend the lists here when the
// engine learns to read a new kind of file.

#include <string>

class ContentFileKinds
{
public:
    /// `extension` in lower case with its dot, for example ".zep".
    static bool IsContent(const std::string& extension);
    /// `relative` to the content set's folder, for example "Data/camera_para.dat"
    /// or a model of the HUD under "models/hud".
    static bool IsEngineOwn(const std::string& relative);
    static bool IsTopLevelBlock(const std::string& tag);
};
