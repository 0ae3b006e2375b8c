#pragma once
// The camera toolbox shared by the capture streams: which capture devices the
// system has (by unique friendly name), binding a device by name, its capture
// formats ("stream configuration"), and its adjustable controls (brightness,
// contrast, ...), which stand in for a device's property pages.
//
// All operations are static. The devices come from one process-wide device
// factory: the system's V4L2 nodes, or a test double set with SetDeviceFactory.
// Results are plain values; failures return false or an empty list.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace vexa
{
namespace media
{
class IVideoDeviceFactory;
class V4l2CaptureSession;
}
}

class CDSUtils
{
public:
    /// One adjustable control of a device.
    struct Property
    {
        uint32_t id = 0;
        std::string name;
        int32_t minimum = 0, maximum = 0, step = 1, defaultValue = 0, value = 0;
        uint32_t type = 0;  // V4L2_CTRL_TYPE_*: integer, boolean, menu or integer menu
        std::vector<std::pair<int32_t, std::string>> menuItems;  // (value, name) of a menu
    };
    /// A capture device: its unique friendly name and its device node.
    struct Device
    {
        std::string friendlyName;
        std::string path;
        /// The device's name that survives replugging (its link in the stable
        /// name folder, "/dev/v4l/by-id/usb-..."), "" when it has none.
        std::string stablePath;
    };

    /// Null restores the system's devices.
    static void SetDeviceFactory(std::shared_ptr<vexa::media::IVideoDeviceFactory> factory);
    static std::shared_ptr<vexa::media::IVideoDeviceFactory> GetDeviceFactory();

    /// Where the system keeps stable links to the device nodes
    /// ("/dev/v4l/by-id"); "" restores that folder.
    static void SetStableNameFolder(const std::string& folder);
    static std::string GetStableNameFolder();
    /// The link in the stable name folder that leads to `devicePath`, or "".
    static std::string StablePathOf(const std::string& devicePath);

    /// Capture devices in enumeration order; names repeated by several devices
    /// get " #2", " #3"... so each is unique.
    static std::vector<Device> ListDevices();
    /// Appends the friendly names of all capture devices; returns how many.
    static int EnumerateDevices(std::vector<std::string>& names);
    /// Opens on `session` the device whose friendly name is exactly `name`.
    static bool BindDeviceByName(const std::string& name, vexa::media::V4l2CaptureSession& session);

    /// The open device's format names and the index of its current format.
    static std::vector<std::string> GetStreamConfig(const vexa::media::V4l2CaptureSession& session, int& current);
    /// Sets the format at `index` on the open device (not while streaming).
    static bool SetStreamConfig(vexa::media::V4l2CaptureSession& session, int index);

    /// The device's controls with their current values.
    static std::vector<Property> GetFilterProperties(vexa::media::V4l2CaptureSession& session);
    static bool GetFilterProperty(vexa::media::V4l2CaptureSession& session, uint32_t id, int32_t& value);
    static bool SetFilterProperty(vexa::media::V4l2CaptureSession& session, uint32_t id, int32_t value);
    /// Writes the device's controls to the message log, one line each
    /// ("name = value (min..max, step s)"); returns how many there are.
    static int DisplayFilterProperties(vexa::media::V4l2CaptureSession& session);
};
