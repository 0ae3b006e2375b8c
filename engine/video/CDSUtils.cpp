#include "CDSUtils.h"

#include "CMessageLog.h"

#include "CaptureDeviceEnumerator.h"
#include "V4l2CaptureSession.h"
#include "V4l2DeviceFactory.h"

#include <filesystem>
#include <mutex>
#include <system_error>

using vexa::media::CaptureDeviceEnumerator;
using vexa::media::IVideoDeviceFactory;
using vexa::media::V4l2CaptureSession;

namespace
{
std::mutex g_factoryMutex;
std::shared_ptr<IVideoDeviceFactory> g_factory;
std::string g_stableNameFolder = "/dev/v4l/by-id";

// Where a link leads, as a plain path: a relative target counts from the
// link's folder ("../../video0" in /dev/v4l/by-id is /dev/video0).
std::filesystem::path linkTarget(const std::filesystem::directory_entry& link)
{
    std::error_code error;
    const std::filesystem::path target = std::filesystem::read_symlink(link.path(), error);
    if (error) return {};
    if (target.is_absolute()) return target.lexically_normal();
    return (link.path().parent_path() / target).lexically_normal();
}
}

void CDSUtils::SetStableNameFolder(const std::string& folder)
{
    std::lock_guard<std::mutex> guard(g_factoryMutex);
    g_stableNameFolder = folder.empty() ? "/dev/v4l/by-id" : folder;
}

std::string CDSUtils::GetStableNameFolder()
{
    std::lock_guard<std::mutex> guard(g_factoryMutex);
    return g_stableNameFolder;
}

std::string CDSUtils::StablePathOf(const std::string& devicePath)
{
    const std::filesystem::path wanted = std::filesystem::path(devicePath).lexically_normal();
    std::error_code error;
    std::filesystem::directory_iterator it(GetStableNameFolder(), error);
    if (error) return "";
    // The first link by name, so the answer does not depend on the folder's order.
    std::string found;
    for (const std::filesystem::directory_entry& link : it)
    {
        const std::string name = link.path().string();
        if (linkTarget(link) == wanted && (found.empty() || name < found)) found = name;
    }
    return found;
}

void CDSUtils::SetDeviceFactory(std::shared_ptr<IVideoDeviceFactory> factory)
{
    std::lock_guard<std::mutex> guard(g_factoryMutex);
    g_factory = std::move(factory);
}

std::shared_ptr<IVideoDeviceFactory> CDSUtils::GetDeviceFactory()
{
    std::lock_guard<std::mutex> guard(g_factoryMutex);
    if (!g_factory) g_factory = std::make_shared<vexa::media::V4l2DeviceFactory>();
    return g_factory;
}

std::vector<CDSUtils::Device> CDSUtils::ListDevices()
{
    std::vector<Device> devices;
    auto log = [](const std::string& text) { CMessageLog::Instance()->WriteToLog(text); };
    for (const CaptureDeviceEnumerator::Entry& e : CaptureDeviceEnumerator::enumerate(*GetDeviceFactory(), log))
        devices.push_back(Device{e.friendlyName, e.path, StablePathOf(e.path)});
    return devices;
}

int CDSUtils::EnumerateDevices(std::vector<std::string>& names)
{
    const std::vector<Device> devices = ListDevices();
    for (const Device& d : devices) names.push_back(d.friendlyName);
    return static_cast<int>(devices.size());
}

bool CDSUtils::BindDeviceByName(const std::string& name, V4l2CaptureSession& session)
{
    for (const Device& d : ListDevices())
        if (d.friendlyName == name) return session.open(d.path);
    return false;
}

std::vector<std::string> CDSUtils::GetStreamConfig(const V4l2CaptureSession& session, int& current)
{
    current = session.currentFormatIndex();
    return session.formatNames();
}

bool CDSUtils::SetStreamConfig(V4l2CaptureSession& session, int index)
{
    if (index < 0 || index >= static_cast<int>(session.formats().size()) || session.isStreaming()) return false;
    return session.applyFormat(index);
}

std::vector<CDSUtils::Property> CDSUtils::GetFilterProperties(V4l2CaptureSession& session)
{
    std::vector<Property> list;
    for (const vexa::media::VideoControl& c : session.controls())
        list.push_back(Property{c.id, c.name, c.minimum, c.maximum, c.step, c.defaultValue, c.value, c.type, c.menuItems});
    return list;
}

bool CDSUtils::GetFilterProperty(V4l2CaptureSession& session, uint32_t id, int32_t& value)
{
    return session.getControl(id, value);
}

bool CDSUtils::SetFilterProperty(V4l2CaptureSession& session, uint32_t id, int32_t value)
{
    return session.setControl(id, value);
}

int CDSUtils::DisplayFilterProperties(V4l2CaptureSession& session)
{
    const std::vector<Property> list = GetFilterProperties(session);
    for (const Property& p : list)
        CMessageLog::Instance()->WriteToLog(p.name + " = " + std::to_string(p.value) + " (" + std::to_string(p.minimum) +
                                            ".." + std::to_string(p.maximum) + ", step " + std::to_string(p.step) + ")");
    return static_cast<int>(list.size());
}
