#pragma once
// What the two camera streams (DSCaptureStream, BlackMagicStream) share: the
// camera settings file "Data/DSVideoSetings.dat", the device list, choosing
// and binding the device and its capture format with the camera messages,
// the flips and de-interlacing, the device controls, and tear-down.
// Subclasses decide where the frames go (AttachFrameSink).
//
// Messages: the connection's lines go to the message log; lines from the
// camera's streaming thread (time-outs, a lost camera) are held and written
// by the engine's thread at the next UpdateStream, since the log has one
// writer at a time.
//
// A camera lost while streaming is reopened by UpdateStream, once a second, on
// the same node with the same format and flips (CaptureReconnector); until it is
// back the stream is invalid and shows the last frame.
//
// Ownership and threading: the stream owns its capture session; frames
// arrive on the session's thread. Everything else runs on the engine thread.

#include "CBufferedVideoStream.h"

#include "CDSUtils.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The media layer's headers stay out of this one: the desktop program
// includes it without them.
namespace vexa { namespace media {
class CaptureReconnector;
class CameraFrame;
enum class FrameResult;
} }

class CCaptureStreamBase : public CBufferedVideoStream
{
public:
    /// What the capture session hands each frame to (see V4l2CaptureSession).
    using SessionFrameCallback = std::function<vexa::media::FrameResult(const vexa::media::CameraFrame&)>;

    CCaptureStreamBase();
    CCaptureStreamBase(const CCaptureStreamBase& other, const osg::CopyOp& op = osg::CopyOp::SHALLOW_COPY);

    /// Friendly names of the attached capture devices, stored as the device list.
    std::vector<std::string> CreateConnectedDeviceList();
    const std::vector<std::string>& GetConnectedDeviceList() const { return m_deviceList; }
    /// Rebuilds the format names of the bound device (empty without one).
    std::vector<std::string> CreateDeviceFormatList();
    const std::vector<std::string>& GetDeviceFormatList() const { return m_formatNames; }

    /// The attached devices of the list with their nodes and stable names.
    const std::vector<CDSUtils::Device>& GetConnectedDevices() const { return m_devices; }

    std::string GetCurrentDeviceName() const { return m_currentDevice; }
    /// Chooses the device for the next connection (through the saved
    /// settings); a listed device's stable name is saved with it, so the same
    /// camera is found again after a replug, whatever its node or number.
    void SetCurrentDeviceName(const std::string& name);
    /// The stable name of the current device, "" when it has none.
    const std::string& GetCurrentDeviceId() const { return m_currentDeviceId; }
    /// Name of the current format, "NONE" without one.
    std::string GetCurrentFormat() const;
    int GetCurrentFormatIndex() const { return m_currentFormat; }
    /// Used at the next connection (through the saved settings).
    void SetCurrentFormat(int index) { m_currentFormat = index; }
    const std::vector<std::string>& GetPreferredFormats() const { return m_preferredFormats; }

    /// The camera's flips (saved with the settings): vertical on shows the
    /// picture upright, horizontal on mirrors it. They apply from the next
    /// frame, as it is converted; the frame being shown is never touched.
    void SetVFlip(bool on);
    void SetHFlip(bool on);
    bool GetVFlip() const { return m_verticalFlip; }
    bool GetHFlip() const { return m_horizontalFlip; }
    /// Takes effect at the next connection.
    void SetDeInterlace(bool on) { m_deInterlace = on; }
    bool GetDeInterlace() const { return m_deInterlace; }
    int GetVideoWidth() const { return m_videoWidth; }
    int GetVideoHeight() const { return m_videoHeight; }

    bool LoadSettings();
    /// Rewrites the settings file through a temporary sibling; the old file
    /// stays when writing fails.
    bool SaveSettings();
    const std::string& GetSettingsFile() const { return m_settingsFile; }

    /// The device's controls (its "property pages"), written to the log.
    void DisplayProperties();
    std::vector<CDSUtils::Property> GetProperties();
    bool SetProperty(uint32_t id, int32_t value);
    bool GetProperty(uint32_t id, int32_t& value);

    /// Shows the newest frame; notices a camera lost while streaming (the
    /// stream turns invalid and keeps its last frame) and reopens it once a
    /// second until it streams again (the stream turns valid again).
    void UpdateStream() override;
    /// Stops streaming and releases the device; the last frame stays shown.
    void CleanUp() override;
    void DestoryGraph();
    /// The camera delivers frames and has not been lost.
    bool IsStreaming() const;

protected:
    ~CCaptureStreamBase() override;

    /// Connection steps common to both streams, then AttachFrameSink. False
    /// leaves the stream invalid with a black 640 x 480 picture.
    bool Connect();
    /// Sizes the frames and starts the camera delivering them; sets valid.
    virtual bool AttachFrameSink() = 0;
    /// The flips changed: pass them on to the frame sink.
    virtual void OnFlipsChanged() {}

    void Log(const std::string& text);
    /// A message box (standard error when unattended).
    void Box(const std::string& text, const std::string& caption);
    /// Messages from other threads waiting for the engine thread.
    void FlushHeldMessages();
    void ShowBlackPicture();

    vexa::media::V4l2CaptureSession* Session() { return m_session.get(); }
    /// Starts the session streaming to onFrame, which is kept for a reopen.
    bool StartSession(SessionFrameCallback onFrame);

    bool m_deInterlace = false;
    bool m_verticalFlip = true;
    bool m_horizontalFlip = true;
    int m_videoWidth = 0, m_videoHeight = 0;
    std::string m_requestedDevice = "NONE";
    std::string m_requestedDeviceId;  // stable name saved with the device, "" when none
    std::string m_requestedFormat = "NONE";

private:
    bool BindDevice(int index);
    /// Points the requested name at the device with the saved stable name.
    void FindRequestedById();
    bool ChooseAndSetFormat();

    void ReconnectLostCamera();

    std::unique_ptr<vexa::media::V4l2CaptureSession> m_session;
    std::unique_ptr<vexa::media::CaptureReconnector> m_reconnector;
    SessionFrameCallback m_onFrame;
    std::vector<CDSUtils::Device> m_devices;
    std::vector<std::string> m_deviceList;
    std::string m_currentDevice;
    std::string m_currentDeviceId;
    std::vector<std::string> m_formatNames;
    int m_currentFormat = 0;
    std::vector<std::string> m_preferredFormats;
    std::string m_settingsFile = "Data/DSVideoSetings.dat";
    bool m_lostReported = false;

    std::thread::id m_engineThread;
    std::mutex m_heldMutex;
    std::vector<std::string> m_heldMessages;  // guarded by m_heldMutex
};
