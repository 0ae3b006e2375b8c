#pragma once
// Which camera and which capture format to use, from the saved camera settings
// (requested device name, requested format name, preferred formats) and what is
// attached. Pure decisions on plain inputs; the caller reads and writes the settings
// file and does the connecting. The log lines are the camera stream's own messages.
#include "LogSink.h"

#include <functional>
#include <string>
#include <vector>

namespace vexa {
namespace media {

class CaptureSelection {
public:
    // Saved value meaning "nothing chosen".
    static const char* const kNone;  // "NONE"

    struct DeviceResult {
        int index = -1;                 // device connected, -1 when none
        bool fellBack = false;          // connected, but not to the first choice
        bool saveNoneAsDevice = false;  // write "NONE" as device name to the settings
        std::string boxCaption;         // message box to show when not empty
        std::string boxText;
    };

    // Picks the requested device (exact name) or the first one, tries to connect it,
    // and on failure tries the other devices in list order. tryConnect(i) connects
    // device i and says whether that worked.
    static DeviceResult connectDevice(const std::vector<std::string>& devices, const std::string& requested,
                                      const std::function<bool(int)>& tryConnect, const LogSink& log);

    // Format index to use: the requested format by exact name; with none requested,
    // the first preferred format (in the given order) the device offers; otherwise
    // currentIndex (the device's current format).
    static int chooseFormat(const std::vector<std::string>& formats, int currentIndex, const std::string& requested,
                            const std::vector<std::string>& preferred, const LogSink& log);
};

}  // namespace media
}  // namespace vexa
