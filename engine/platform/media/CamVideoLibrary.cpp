#include "CamVideoLibrary.h"

#include "CaptureDeviceEnumerator.h"
#include "CaptureReconnector.h"
#include "ContentPath.h"
#include "MediaFileReader.h"
#include "RateLimitedLog.h"
#include "V4l2CaptureSession.h"

#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

namespace vexa {
namespace media {

namespace {

constexpr int kWatchSliceMs = 200;  // how often the watcher looks at a streaming camera

std::string realPath(const std::string& path) {
    char buf[PATH_MAX];
    return ::realpath(path.c_str(), buf) ? std::string(buf) : path;
}

FrameTarget bgrTarget(uint8_t* pixels, int w, int h) {
    FrameTarget t;
    t.pixels = pixels;
    t.rowBytes = w * 3;
    t.width = w;
    t.height = h;
    t.layout = FrameTarget::Layout::Bgr24;
    return t;
}

}  // namespace

struct CamVideoLibrary::Impl {
    std::shared_ptr<IVideoDeviceFactory> factory;
    LogSink log;
    Clock clock;
    mutable std::mutex mutex;     // serialises the calls
    std::mutex frameMutex;        // guards the camera's buffer hand-over
    std::mutex receiverMutex;     // held while a camera frame is written to the receiver
    IFrameReceiver* receiver = nullptr;  // changed under mutex and receiverMutex
    CamVideoConfig config;
    std::string error;
    std::unique_ptr<V4l2CaptureSession> camera;
    std::unique_ptr<MediaFileReader> file;
    int deviceIndex = -1;
    int width = 0;
    int height = 0;
    bool started = false;
    bool frameLocked = false;
    double playStart = 0.0;       // clock time of file frame 0
    double pausedAt = -1.0;       // playback position when stopped, -1 = never started
    // Camera: back (being written), ready (complete), front (handed out).
    // File: buffers[front] handed out, the other one decoded into.
    std::vector<uint8_t> buffers[3];
    int back = 0, ready = 1, front = 2;
    bool newFrame = false;
    bool readErrorLogged = false;
    bool fileEnded = false;        // a file without looping showed its last frame
    int64_t cameraFrames = 0;      // camera frames delivered since the start
    // Reopens a camera lost while started; runs on the watcher thread under mutex.
    std::unique_ptr<CaptureReconnector> reconnector;
    std::thread watcher;           // started with the first camera capture
    std::condition_variable wake;  // waited on with mutex
    bool quitWatcher = false;      // guarded by mutex

    int fail(const std::string& message) {
        error = message;
        if (log) log(message);
        return -1;
    }
    bool isOpen() const { return camera || file; }
    int openCamera();
    int openFile();
    void allocate();
    FrameConverter::Result onCameraFrame(const CameraFrame& frame);
    MediaFileReader::ReadResult readFile(const FrameTarget& target);
    unsigned char* nextFileImage();
    void setReceiver(IFrameReceiver* r);
    void closeAll();
    bool startCamera();
    V4l2CaptureSession::FrameCallback frameCallback() {
        return [this](const CameraFrame& f) { return onCameraFrame(f); };
    }
    void watch();
    void endWatcher();
};

void CamVideoLibrary::Impl::allocate() {
    for (auto& b : buffers) b.assign(static_cast<size_t>(width) * height * 3, 0);
    back = 0;
    ready = 1;
    front = 2;
    newFrame = false;
}

int CamVideoLibrary::Impl::openCamera() {
    const auto devices = CaptureDeviceEnumerator::enumerate(*factory, log);
    std::string path = config.path;
    deviceIndex = -1;
    if (path.empty()) {
        if (devices.empty()) return fail("camera library: no camera found");
        path = devices.front().path;
        deviceIndex = 0;
    } else {
        const std::string target = realPath(path);  // by-id / by-path links name a /dev/videoN
        for (size_t i = 0; i < devices.size(); ++i)
            if (devices[i].path == path || realPath(devices[i].path) == target) deviceIndex = static_cast<int>(i);
    }
    camera = std::make_unique<V4l2CaptureSession>(factory->createDevice(), log, clock);
    if (!camera->open(path)) {
        camera.reset();
        return fail("camera library: cannot open camera '" + path + "'");
    }
    int index = camera->defaultFormatIndex();
    if (config.width > 0) {
        int match = -1;
        for (size_t i = 0; i < camera->formats().size() && match < 0; ++i)
            if (static_cast<int>(camera->formats()[i].width) == config.width &&
                static_cast<int>(camera->formats()[i].height) == config.height)
                match = static_cast<int>(i);
        if (match < 0 && log)
            log("camera library: camera '" + path + "' offers no " + std::to_string(config.width) + "x" +
                std::to_string(config.height) + " format; using its current format");
        if (match >= 0) index = match;
    }
    const bool ready = index >= 0 ? camera->applyFormat(index) : camera->prepareFormat();
    if (!ready) {
        camera.reset();
        return fail("camera library: cannot set a capture format on '" + path + "'");
    }
    if (deviceIndex < 0) deviceIndex = 0;
    width = camera->width();
    height = camera->height();
    allocate();
    return 0;
}

int CamVideoLibrary::Impl::openFile() {
    file = std::make_unique<MediaFileReader>();
    const std::string path = resolveContentPath(config.path);
    if (!file->open(path)) {
        const std::string why = file->lastError();
        file.reset();
        return fail("camera library: " + why);
    }
    file->setLooping(config.loop);
    frameLocked = frameLocked || config.frameLocked;
    width = file->info().width;
    height = file->info().height;
    allocate();
    deviceIndex = 0;
    pausedAt = -1.0;
    return 0;
}

// The capture thread: the frame goes to the receiver, or into the spare buffer.
FrameConverter::Result CamVideoLibrary::Impl::onCameraFrame(const CameraFrame& frame) {
    using Result = FrameConverter::Result;
    if (frame.width() != width || frame.height() != height) return Result::Skipped;  // fixed while streaming
    {
        std::lock_guard<std::mutex> lock(receiverMutex);
        if (receiver) {
            const Result r = frame.convertTo(receiver->frameTarget(width, height));
            if (r == Result::Ok) {
                receiver->frameNumber(cameraFrames++);
                receiver->frameWritten();
            }
            return r;
        }
    }
    const Result r = frame.convertTo(bgrTarget(buffers[back].data(), width, height));
    if (r != Result::Ok) return r;
    std::lock_guard<std::mutex> lock(frameMutex);
    std::swap(back, ready);
    newFrame = true;
    return r;
}

MediaFileReader::ReadResult CamVideoLibrary::Impl::readFile(const FrameTarget& target) {
    using RR = MediaFileReader::ReadResult;
    const RR r = frameLocked ? file->readNextFrame(target) : file->readFrameDueAt(clock() - playStart, target);
    if (r == RR::EndOfStream) fileEnded = true;
    if (r == RR::Error && !readErrorLogged) {
        readErrorLogged = true;
        if (log) log("camera library: " + file->lastError());
    }
    return r;
}

unsigned char* CamVideoLibrary::Impl::nextFileImage() {
    const int target = front == 0 ? 1 : 0;
    if (readFile(bgrTarget(buffers[target].data(), width, height)) != MediaFileReader::ReadResult::Frame)
        return nullptr;
    front = target;
    return buffers[front].data();
}

void CamVideoLibrary::Impl::setReceiver(IFrameReceiver* r) {
    std::lock_guard<std::mutex> lock(receiverMutex);
    receiver = r;
}

// A camera lost while started is reopened here, with the same format and into the
// same receiver or buffers, once a second until it is back (see CaptureReconnector).
// Waiting releases the mutex, so stop and close never wait for a retry.
void CamVideoLibrary::Impl::watch() {
    std::unique_lock<std::mutex> lock(mutex);
    while (!quitWatcher) {
        wake.wait_for(lock, std::chrono::milliseconds(kWatchSliceMs));
        if (!quitWatcher && camera && started)
            reconnector->poll(*camera, frameCallback());
    }
}

void CamVideoLibrary::Impl::endWatcher() {
    {
        std::lock_guard<std::mutex> lock(mutex);
        quitWatcher = true;
    }
    wake.notify_all();
    if (watcher.joinable()) watcher.join();
}

// With the mutex held. A camera being waited for counts as started: the watcher
// resumes it when it is back.
bool CamVideoLibrary::Impl::startCamera() {
    if (!watcher.joinable()) watcher = std::thread(&Impl::watch, this);
    if (reconnector->isReconnecting()) return true;
    return camera->start(frameCallback());
}

void CamVideoLibrary::Impl::closeAll() {
    if (reconnector) reconnector->reset();
    if (camera) camera->close();
    setReceiver(nullptr);
    camera.reset();
    file.reset();
    started = false;
    deviceIndex = -1;
    width = height = 0;
    for (auto& b : buffers) b.clear();
    readErrorLogged = false;
    fileEnded = false;
    cameraFrames = 0;
}

CamVideoLibrary::CamVideoLibrary(std::shared_ptr<IVideoDeviceFactory> factory, LogSink log, Clock clock)
    : impl_(new Impl) {
    impl_->factory = std::move(factory);
    impl_->log = std::move(log);
    impl_->clock = RateLimitedLog::OrSteady(std::move(clock));
    impl_->reconnector = std::make_unique<CaptureReconnector>(impl_->log, impl_->clock);
}

CamVideoLibrary::~CamVideoLibrary() {
    close();
    impl_->endWatcher();
}

int CamVideoLibrary::open(const char* text) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    Impl& d = *impl_;
    d.closeAll();
    d.error.clear();
    std::string message;
    if (!CamVideoConfig::parse(text ? text : "", d.config, message)) return d.fail(message);
    return d.config.source == CamVideoConfig::Source::File ? d.openFile() : d.openCamera();
}

int CamVideoLibrary::pixelFormat() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->isOpen() ? kPixelFormatBgr24 : -1;
}

int CamVideoLibrary::size(int* width, int* height) const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    if (!impl_->isOpen() || !width || !height) return -1;
    *width = impl_->width;
    *height = impl_->height;
    return 0;
}

int CamVideoLibrary::captureStart() {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    Impl& d = *impl_;
    if (!d.isOpen()) return d.fail("camera library: capture start without an open source");
    if (d.started) return 0;
    if (d.camera) {
        if (!d.startCamera()) return d.fail("camera library: cannot start camera '" + d.camera->path() + "'");
    } else {
        d.playStart = d.clock() - (d.pausedAt > 0.0 ? d.pausedAt : 0.0);
    }
    d.started = true;
    return 0;
}

int CamVideoLibrary::currentDevice() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->deviceIndex;
}

unsigned char* CamVideoLibrary::image() {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    Impl& d = *impl_;
    if (!d.started || d.receiver) return nullptr;
    if (d.file) return d.nextFileImage();
    std::lock_guard<std::mutex> frameLock(d.frameMutex);
    if (!d.newFrame) return nullptr;
    std::swap(d.ready, d.front);
    d.newFrame = false;
    return d.buffers[d.front].data();
}

int CamVideoLibrary::captureStop() {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    Impl& d = *impl_;
    if (!d.started) return 0;
    if (d.camera) d.camera->stop();
    if (d.file) d.pausedAt = d.clock() - d.playStart;
    d.started = false;
    return 0;
}

int CamVideoLibrary::close() {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->closeAll();
    return 0;
}

void CamVideoLibrary::setFrameReceiver(IFrameReceiver* receiver) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->setReceiver(receiver);
}

bool CamVideoLibrary::deliverFrame() {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    Impl& d = *impl_;
    if (!d.started || !d.file || !d.receiver) return false;
    const FrameTarget target = d.receiver->frameTarget(d.width, d.height);
    if (!target.pixels || d.readFile(target) != MediaFileReader::ReadResult::Frame) return false;
    d.receiver->frameNumber(d.file->currentFrameIndex());
    d.receiver->frameWritten();
    return true;
}

int64_t CamVideoLibrary::fileFrameCount() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->file ? impl_->file->info().frameCount : 0;
}

double CamVideoLibrary::fileFrameRate() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->file ? impl_->file->info().frameRate : 0.0;
}

bool CamVideoLibrary::fileEnded() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->file && impl_->fileEnded;
}

void CamVideoLibrary::setFrameLocked(bool locked) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->frameLocked = locked;
}

bool CamVideoLibrary::isValid() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->file || (impl_->camera && impl_->camera->isValid());
}

const std::string& CamVideoLibrary::lastError() const { return impl_->error; }
const CamVideoConfig& CamVideoLibrary::config() const { return impl_->config; }

}  // namespace media
}  // namespace vexa
