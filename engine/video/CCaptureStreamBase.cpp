#include "CCaptureStreamBase.h"

#include "CMessageLog.h"
#include "COsgSettings.h"
#include "CPathResolver.h"

#include "CaptureReconnector.h"
#include "CaptureSelection.h"
#include "IVideoDeviceFactory.h"
#include "V4l2CaptureSession.h"

using vexa::media::CaptureSelection;
using vexa::media::V4l2CaptureSession;

namespace
{
const char* const kBlock = "<VEXA_DSHOWVIDEO_SETTINGS>";
const char* const kBlockEnd = "</VEXA_DSHOWVIDEO_SETTINGS>";
const char* const kPrefix = "DShowStream::Constructor: ";
}

CCaptureStreamBase::CCaptureStreamBase() : CBufferedVideoStream(false), m_engineThread(std::this_thread::get_id())
{
    SetFrameInterval(0);
}

CCaptureStreamBase::CCaptureStreamBase(const CCaptureStreamBase& other, const osg::CopyOp& op)
    : CBufferedVideoStream(other, op), m_engineThread(std::this_thread::get_id())
{
}

CCaptureStreamBase::~CCaptureStreamBase()
{
    if (m_session) m_session->close();
}

void CCaptureStreamBase::Log(const std::string& text)
{
    if (std::this_thread::get_id() == m_engineThread)
    {
        FlushHeldMessages();
        CMessageLog::Instance()->WriteToLog(text);
        return;
    }
    std::lock_guard<std::mutex> guard(m_heldMutex);
    if (m_heldMessages.size() < 64) m_heldMessages.push_back(text);
}

void CCaptureStreamBase::FlushHeldMessages()
{
    std::vector<std::string> held;
    {
        std::lock_guard<std::mutex> guard(m_heldMutex);
        held.swap(m_heldMessages);
    }
    for (const std::string& text : held) CMessageLog::Instance()->WriteToLog(text);
}

void CCaptureStreamBase::Box(const std::string& text, const std::string& caption)
{
    CMessageLog::Instance()->DisplayMessage(text, caption);
}

void CCaptureStreamBase::ShowBlackPicture()
{
    // No camera: a black picture of the usual size keeps the layer and the
    // tracker working while the stream reports itself invalid.
    AllocateFrames(640, 480, GL_BGRA);
}

std::vector<std::string> CCaptureStreamBase::CreateConnectedDeviceList()
{
    m_devices = CDSUtils::ListDevices();
    m_deviceList.clear();
    for (const CDSUtils::Device& d : m_devices) m_deviceList.push_back(d.friendlyName);
    return m_deviceList;
}

std::vector<std::string> CCaptureStreamBase::CreateDeviceFormatList()
{
    m_formatNames.clear();
    if (!m_session || !m_session->isOpen()) return m_formatNames;
    m_formatNames = m_session->formatNames();
    // The format the device runs now: at connection the device's own, later
    // the one applied (a list made again must not forget the chosen format).
    const int defaultIndex = m_session->currentFormatIndex();
    if (defaultIndex >= 0 && defaultIndex < static_cast<int>(m_formatNames.size()))
    {
        Log("DShowStream::CreateDeviceFormatList: Found default format index " + std::to_string(defaultIndex));
        m_currentFormat = defaultIndex;
    }
    return m_formatNames;
}

void CCaptureStreamBase::SetCurrentDeviceName(const std::string& name)
{
    m_currentDevice = name;
    m_currentDeviceId.clear();
    for (const CDSUtils::Device& d : m_devices)
        if (d.friendlyName == name) m_currentDeviceId = d.stablePath;
}

void CCaptureStreamBase::FindRequestedById()
{
    if (m_requestedDeviceId.empty()) return;
    for (const CDSUtils::Device& d : m_devices)
    {
        if (d.stablePath != m_requestedDeviceId) continue;
        if (d.friendlyName != m_requestedDevice)
            Log(std::string(kPrefix) + "Device " + m_requestedDeviceId + " is now " + d.friendlyName);
        m_requestedDevice = d.friendlyName;
        return;
    }
}

std::string CCaptureStreamBase::GetCurrentFormat() const
{
    if (m_currentFormat < 0 || m_currentFormat >= static_cast<int>(m_formatNames.size())) return "NONE";
    return m_formatNames[static_cast<size_t>(m_currentFormat)];
}

void CCaptureStreamBase::SetVFlip(bool on)
{
    m_verticalFlip = on;
    OnFlipsChanged();
}

void CCaptureStreamBase::SetHFlip(bool on)
{
    m_horizontalFlip = on;
    OnFlipsChanged();
}

bool CCaptureStreamBase::LoadSettings()
{
    m_requestedDevice = "NONE";
    m_requestedDeviceId.clear();
    m_requestedFormat = "NONE";
    if (!CPathResolver::Exists(m_settingsFile)) return false;
    COsgSettings file;
    if (!file.Load(CPathResolver::Resolve(m_settingsFile)) || !file.FindFirst(kBlock)) return false;
    m_preferredFormats.clear();
    while (file.NextUnless(kBlockEnd))
    {
        const std::string tag = file.NextString();
        if (tag == "<DEVICE_NAME>") m_requestedDevice = file.RestOfLine();
        else if (tag == "<DEVICE_ID>") m_requestedDeviceId = file.RestOfLine();
        else if (tag == "<FORMAT_NAME>") m_requestedFormat = file.RestOfLine();
        else if (tag == "<VERT_FLIP>") m_verticalFlip = file.NextInt() != 0;
        else if (tag == "<HORI_FLIP>") m_horizontalFlip = file.NextInt() != 0;
        else if (tag == "<DEINTERLACE>") m_deInterlace = file.NextInt() != 0;
        else if (tag == "<PREF_FORMAT>") m_preferredFormats.push_back(file.RestOfLine());
    }
    return true;
}

bool CCaptureStreamBase::SaveSettings()
{
    COsgSettings out;
    const std::string path = CPathResolver::Resolve(m_settingsFile);
    if (!out.Open(path))
    {
        Log("DShowStream::SaveSettings: Error: could not write " + m_settingsFile);
        return false;
    }
    auto line = [&out](const char* tag) {
        out.WriteIndent();
        out.WriteTag(tag);
    };
    out.WriteLine(kBlock);
    out.Indent();
    line("<DEVICE_NAME>");
    out.WriteString(m_currentDevice.empty() ? "NONE" : m_currentDevice);
    if (!m_currentDeviceId.empty())
    {
        line("<DEVICE_ID>");
        out.WriteString(m_currentDeviceId);
    }
    line("<FORMAT_NAME>");
    out.WriteString(GetCurrentFormat());
    line("<VERT_FLIP>");
    out.WriteInt(m_verticalFlip ? 1 : 0);
    line("<HORI_FLIP>");
    out.WriteInt(m_horizontalFlip ? 1 : 0);
    line("<DEINTERLACE>");
    out.WriteInt(m_deInterlace ? 1 : 0);
    for (const std::string& format : m_preferredFormats)
    {
        line("<PREF_FORMAT>");
        out.WriteString(format);
    }
    out.Unindent();
    out.WriteLine(kBlockEnd);
    if (out.Close()) return true;
    Log("DShowStream::SaveSettings: Error: could not write " + m_settingsFile + ", the old file is kept");
    return false;
}

bool CCaptureStreamBase::BindDevice(int index)
{
    return m_session->open(m_devices[static_cast<size_t>(index)].path);
}

bool CCaptureStreamBase::Connect()
{
    m_engineThread = std::this_thread::get_id();
    SetFrameInterval(0);
    Log("DShowStream::Constructor()...");
    LoadSettings();
    CreateConnectedDeviceList();
    FindRequestedById();
    const vexa::media::LogSink sink = [this](const std::string& text) { Log(text); };
    m_session = std::make_unique<V4l2CaptureSession>(CDSUtils::GetDeviceFactory()->createDevice(), sink);
    m_reconnector = std::make_unique<vexa::media::CaptureReconnector>(sink);
    const CaptureSelection::DeviceResult device = CaptureSelection::connectDevice(
        m_deviceList, m_requestedDevice, [this](int i) { return BindDevice(i); }, sink);
    if (device.index < 0)
    {
        if (device.saveNoneAsDevice)
        {
            m_currentDevice = "NONE";
            m_currentDeviceId.clear();
            SaveSettings();
        }
        if (!device.boxCaption.empty()) Box(device.boxText, device.boxCaption);
        ShowBlackPicture();
        return false;
    }
    m_currentDevice = m_deviceList[static_cast<size_t>(device.index)];
    m_currentDeviceId = m_devices[static_cast<size_t>(device.index)].stablePath;
    Log(std::string(kPrefix) + "Create Format List");
    CreateDeviceFormatList();
    if (m_formatNames.empty())
        Log(std::string(kPrefix) + "Error No formats retrived");
    else
        Log(std::string(kPrefix) + std::to_string(m_formatNames.size()) + " formats found");
    if (!ChooseAndSetFormat() || !AttachFrameSink())
    {
        m_session->close();
        ShowBlackPicture();
        return false;
    }
    return true;
}

bool CCaptureStreamBase::ChooseAndSetFormat()
{
    if (m_formatNames.empty())
    {
        Log(std::string(kPrefix) + "Using Raw device format");
        return true;
    }
    m_currentFormat = CaptureSelection::chooseFormat(m_formatNames, m_currentFormat, m_requestedFormat,
                                                     m_preferredFormats, [this](const std::string& t) { Log(t); });
    if (m_currentFormat < 0 || m_currentFormat >= static_cast<int>(m_formatNames.size())) m_currentFormat = 0;
    if (m_session->applyFormat(m_currentFormat))
    {
        Log(std::string(kPrefix) + "Successfully set device format");
        return true;
    }
    Log(std::string(kPrefix) + "Error Setting device format");
    return false;
}

void CCaptureStreamBase::DisplayProperties()
{
    if (m_session) CDSUtils::DisplayFilterProperties(*m_session);
}

std::vector<CDSUtils::Property> CCaptureStreamBase::GetProperties()
{
    return m_session ? CDSUtils::GetFilterProperties(*m_session) : std::vector<CDSUtils::Property>();
}

bool CCaptureStreamBase::SetProperty(uint32_t id, int32_t value)
{
    return m_session && CDSUtils::SetFilterProperty(*m_session, id, value);
}

bool CCaptureStreamBase::GetProperty(uint32_t id, int32_t& value)
{
    return m_session && CDSUtils::GetFilterProperty(*m_session, id, value);
}

bool CCaptureStreamBase::StartSession(SessionFrameCallback onFrame)
{
    m_onFrame = onFrame;
    return m_session->start(std::move(onFrame));
}

bool CCaptureStreamBase::IsStreaming() const
{
    return m_session && m_session->isStreaming() && m_session->isValid();
}

void CCaptureStreamBase::UpdateStream()
{
    CBufferedVideoStream::UpdateStream();
    if (OnCaptureThread()) return;
    FlushHeldMessages();
    if (m_valid && m_session && m_session->isOpen() && !m_session->isValid() && !m_lostReported)
    {
        m_lostReported = true;
        m_valid = false;
        Log("DShowStream: Error: Lost the connection to device " + m_currentDevice + ", showing the last frame");
    }
    ReconnectLostCamera();
}

// Engine thread: a reopen never races CleanUp, and between attempts this
// returns at once.
void CCaptureStreamBase::ReconnectLostCamera()
{
    if (!m_lostReported || !m_session || !m_reconnector || !m_onFrame) return;
    if (!m_reconnector->poll(*m_session, m_onFrame)) return;
    m_lostReported = false;
    m_valid = true;
}

void CCaptureStreamBase::CleanUp()
{
    DestoryGraph();
}

void CCaptureStreamBase::DestoryGraph()
{
    if (!m_session) return;
    if (m_reconnector) m_reconnector->reset();
    m_lostReported = false;
    m_onFrame = nullptr;
    m_session->stop();
    m_session->close();
    if (std::this_thread::get_id() == m_engineThread) FlushHeldMessages();
}
