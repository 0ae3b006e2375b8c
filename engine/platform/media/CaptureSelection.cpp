#include "CaptureSelection.h"

#include <algorithm>

namespace vexa {
namespace media {

const char* const CaptureSelection::kNone = "NONE";

namespace {

const std::string kPrefix = "DShowStream::Constructor: ";

void say(const LogSink& log, const std::string& text) {
    if (log) log(kPrefix + text);
}

int indexOf(const std::vector<std::string>& list, const std::string& name) {
    const auto it = std::find(list.begin(), list.end(), name);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

}  // namespace

CaptureSelection::DeviceResult CaptureSelection::connectDevice(const std::vector<std::string>& devices,
                                                               const std::string& requested,
                                                               const std::function<bool(int)>& tryConnect,
                                                               const LogSink& log) {
    DeviceResult r;
    if (devices.empty()) {
        say(log, "Error: Failed to connect to a valid capture device ");
        r.boxCaption = "Warning! No WebCam Detected";
        r.boxText = "Please ensure a working webcam is attached to your computer";
        return r;
    }
    int first = 0;
    if (requested == kNone) {
        say(log, "Trying default " + devices[0]);
    } else {
        say(log, "Sreaching for requested device " + requested);
        const int found = indexOf(devices, requested);
        if (found >= 0) {
            say(log, "Requested Device found " + requested);
            first = found;
        } else {
            say(log, "Warning: Unable to find Requested Device, trying default " + devices[0]);
        }
    }
    if (tryConnect(first)) {
        say(log, "Connection successful");
        r.index = first;
        return r;
    }
    say(log, "Warning: Failed to connect to " + devices[static_cast<size_t>(first)]);
    // The device that just failed is not tried a second time.
    for (int i = 0; i < static_cast<int>(devices.size()); ++i) {
        if (i == first) continue;
        say(log, "Trying to connect to " + devices[static_cast<size_t>(i)]);
        if (tryConnect(i)) {
            say(log, "Connection Successful to device " + devices[static_cast<size_t>(i)]);
            r.index = i;
            r.fellBack = true;
            return r;
        }
    }
    r.boxCaption = "Unable to connect to webcam";
    if (requested != kNone) {
        r.saveNoneAsDevice = true;
        r.boxText = "Could not connect to the previous device '" + requested +
                    "', please ensure it is correctly connected to your computer";
    } else {
        r.boxText = "Please ensure a working webcam is attached to your computer";
    }
    say(log, "Error: Failed to connect to a valid capture device ");
    return r;
}

int CaptureSelection::chooseFormat(const std::vector<std::string>& formats, int currentIndex,
                                   const std::string& requested, const std::vector<std::string>& preferred,
                                   const LogSink& log) {
    const bool haveCurrent = currentIndex >= 0 && currentIndex < static_cast<int>(formats.size());
    const std::string currentName = haveCurrent ? formats[static_cast<size_t>(currentIndex)] : kNone;
    if (requested != kNone) {
        say(log, "Search for requested format " + requested);
        const int found = indexOf(formats, requested);
        if (found >= 0) {
            say(log, "Requested format Found");
            return found;
        }
        say(log, "Requested format not avaliable using default " + currentName);
        return currentIndex;
    }
    say(log, "Search for prefered format");
    for (const std::string& p : preferred) {
        const int found = indexOf(formats, p);
        if (found >= 0) {
            say(log, "Prefered format found " + p);
            return found;
        }
    }
    say(log, "No prefered format avaliable using default " + currentName + " at index " + std::to_string(currentIndex));
    return currentIndex;
}

}  // namespace media
}  // namespace vexa
