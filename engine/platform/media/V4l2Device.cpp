#include "V4l2Device.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <libv4l2.h>
#include <linux/videodev2.h>
#include <poll.h>
#include <sys/mman.h>

namespace vexa {
namespace media {

namespace {

// Sizes offered for a device that gives a size range instead of a list.
const VideoFrameSize kCommonSizes[] = {{160, 120}, {320, 240}, {352, 288}, {640, 360}, {640, 480},
                                       {800, 600}, {960, 540}, {1024, 768}, {1280, 720}, {1280, 960},
                                       {1600, 1200}, {1920, 1080}};

}  // namespace

V4l2Device::~V4l2Device() { close(); }

int V4l2Device::xioctl(unsigned long request, void* arg) {
    if (fd_ < 0) return EBADF;
    int rc;
    do {
        rc = v4l2_ioctl(fd_, request, arg);
    } while (rc < 0 && errno == EINTR);
    return rc < 0 ? errno : 0;
}

int V4l2Device::open(const std::string& path) {
    close();
    const int fd = v4l2_open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno;
    fd_ = fd;
    return 0;
}

void V4l2Device::close() {
    if (fd_ < 0) return;
    unmapBuffers();
    v4l2_close(fd_);
    fd_ = -1;
}

bool V4l2Device::isOpen() const { return fd_ >= 0; }

int V4l2Device::queryCapability(VideoCapability& out) {
    v4l2_capability cap{};
    const int rc = xioctl(VIDIOC_QUERYCAP, &cap);
    if (rc) return rc;
    out.driver = reinterpret_cast<const char*>(cap.driver);
    out.card = std::string(reinterpret_cast<const char*>(cap.card), strnlen(reinterpret_cast<const char*>(cap.card), sizeof cap.card));
    out.busInfo = reinterpret_cast<const char*>(cap.bus_info);
    out.deviceCaps = (cap.capabilities & V4L2_CAP_DEVICE_CAPS) ? cap.device_caps : cap.capabilities;
    return 0;
}

int V4l2Device::enumerateFormats(std::vector<VideoFormatDesc>& out) {
    out.clear();
    for (uint32_t i = 0;; ++i) {
        v4l2_fmtdesc d{};
        d.index = i;
        d.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        const int rc = xioctl(VIDIOC_ENUM_FMT, &d);
        if (rc == EINVAL) return 0;  // end of the list
        if (rc) return rc;
        VideoFormatDesc f;
        f.pixelFormat = d.pixelformat;
        f.description = reinterpret_cast<const char*>(d.description);
        f.compressed = (d.flags & V4L2_FMT_FLAG_COMPRESSED) != 0;
        f.emulated = (d.flags & V4L2_FMT_FLAG_EMULATED) != 0;
        out.push_back(f);
    }
}

int V4l2Device::enumerateFrameSizes(uint32_t pixelFormat, std::vector<VideoFrameSize>& out) {
    out.clear();
    for (uint32_t i = 0;; ++i) {
        v4l2_frmsizeenum s{};
        s.index = i;
        s.pixel_format = pixelFormat;
        const int rc = xioctl(VIDIOC_ENUM_FRAMESIZES, &s);
        if (rc == EINVAL) return 0;
        if (rc) return rc;
        if (s.type == V4L2_FRMSIZE_TYPE_DISCRETE) {
            out.push_back({s.discrete.width, s.discrete.height});
            continue;
        }
        // A range: offer the common sizes inside it, and its largest size.
        const auto& r = s.stepwise;
        for (const VideoFrameSize& c : kCommonSizes) {
            const bool inside = c.width >= r.min_width && c.width <= r.max_width && c.height >= r.min_height &&
                                c.height <= r.max_height;
            const bool onStep = (r.step_width == 0 || (c.width - r.min_width) % r.step_width == 0) &&
                                (r.step_height == 0 || (c.height - r.min_height) % r.step_height == 0);
            if (inside && onStep) out.push_back(c);
        }
        if (out.empty() || out.back().width != r.max_width || out.back().height != r.max_height)
            out.push_back({r.max_width, r.max_height});
        return 0;
    }
}

int V4l2Device::enumerateFrameIntervals(uint32_t pixelFormat, uint32_t width, uint32_t height,
                                        std::vector<VideoFrameInterval>& out) {
    out.clear();
    for (uint32_t i = 0;; ++i) {
        v4l2_frmivalenum v{};
        v.index = i;
        v.pixel_format = pixelFormat;
        v.width = width;
        v.height = height;
        const int rc = xioctl(VIDIOC_ENUM_FRAMEINTERVALS, &v);
        if (rc == EINVAL) return 0;
        if (rc) return rc;
        if (v.type == V4L2_FRMIVAL_TYPE_DISCRETE) {
            out.push_back({v.discrete.numerator, v.discrete.denominator});
            continue;
        }
        // A range: its fastest and its slowest rate.
        out.push_back({v.stepwise.min.numerator, v.stepwise.min.denominator});
        out.push_back({v.stepwise.max.numerator, v.stepwise.max.denominator});
        return 0;
    }
}

int V4l2Device::getFormat(VideoPixelFormat& out) {
    v4l2_format f{};
    f.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    const int rc = xioctl(VIDIOC_G_FMT, &f);
    if (rc) return rc;
    out = {f.fmt.pix.pixelformat, f.fmt.pix.width, f.fmt.pix.height, f.fmt.pix.bytesperline, f.fmt.pix.sizeimage};
    return 0;
}

int V4l2Device::setFormat(VideoPixelFormat& inOut) {
    v4l2_format f{};
    f.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    f.fmt.pix.pixelformat = inOut.pixelFormat;
    f.fmt.pix.width = inOut.width;
    f.fmt.pix.height = inOut.height;
    f.fmt.pix.field = V4L2_FIELD_ANY;
    const int rc = xioctl(VIDIOC_S_FMT, &f);
    if (rc) return rc;
    inOut = {f.fmt.pix.pixelformat, f.fmt.pix.width, f.fmt.pix.height, f.fmt.pix.bytesperline, f.fmt.pix.sizeimage};
    return 0;
}

int V4l2Device::getFrameInterval(VideoFrameInterval& out) {
    v4l2_streamparm p{};
    p.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    const int rc = xioctl(VIDIOC_G_PARM, &p);
    if (rc) return rc;
    out = {p.parm.capture.timeperframe.numerator, p.parm.capture.timeperframe.denominator};
    return 0;
}

int V4l2Device::setFrameInterval(VideoFrameInterval& inOut) {
    v4l2_streamparm p{};
    p.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    p.parm.capture.timeperframe.numerator = inOut.numerator;
    p.parm.capture.timeperframe.denominator = inOut.denominator;
    const int rc = xioctl(VIDIOC_S_PARM, &p);
    if (rc) return rc;
    inOut = {p.parm.capture.timeperframe.numerator, p.parm.capture.timeperframe.denominator};
    return 0;
}

void V4l2Device::readMenu(const v4l2_queryctrl& q, VideoControl& control) {
    // Drivers may leave holes in a menu: indices they do not answer are skipped.
    for (int32_t index = q.minimum; index <= q.maximum && index >= 0; ++index) {
        v4l2_querymenu m{};
        m.id = q.id;
        m.index = static_cast<uint32_t>(index);
        if (xioctl(VIDIOC_QUERYMENU, &m) != 0) continue;
        const std::string name = q.type == V4L2_CTRL_TYPE_MENU ? std::string(reinterpret_cast<const char*>(m.name))
                                                               : std::to_string(static_cast<long long>(m.value));
        control.menuItems.emplace_back(index, name);
    }
}

int V4l2Device::listControls(std::vector<VideoControl>& out) {
    out.clear();
    v4l2_queryctrl q{};
    q.id = V4L2_CTRL_FLAG_NEXT_CTRL;
    while (xioctl(VIDIOC_QUERYCTRL, &q) == 0) {
        const bool usable = !(q.flags & V4L2_CTRL_FLAG_DISABLED) &&
                            (q.type == V4L2_CTRL_TYPE_INTEGER || q.type == V4L2_CTRL_TYPE_BOOLEAN ||
                             q.type == V4L2_CTRL_TYPE_MENU || q.type == V4L2_CTRL_TYPE_INTEGER_MENU);
        if (usable) {
            VideoControl c;
            c.id = q.id;
            c.name = reinterpret_cast<const char*>(q.name);
            c.minimum = q.minimum;
            c.maximum = q.maximum;
            c.step = q.step;
            c.defaultValue = q.default_value;
            c.type = q.type;
            c.value = q.default_value;
            getControl(q.id, c.value);
            if (q.type == V4L2_CTRL_TYPE_MENU || q.type == V4L2_CTRL_TYPE_INTEGER_MENU) readMenu(q, c);
            out.push_back(c);
        }
        q.id |= V4L2_CTRL_FLAG_NEXT_CTRL;
    }
    return 0;
}

int V4l2Device::getControl(uint32_t id, int32_t& value) {
    v4l2_control c{};
    c.id = id;
    const int rc = xioctl(VIDIOC_G_CTRL, &c);
    if (!rc) value = c.value;
    return rc;
}

int V4l2Device::setControl(uint32_t id, int32_t value) {
    v4l2_control c{};
    c.id = id;
    c.value = value;
    return xioctl(VIDIOC_S_CTRL, &c);
}

void V4l2Device::unmapBuffers() {
    for (Mapping& m : buffers_)
        if (m.start) v4l2_munmap(m.start, m.length);
    buffers_.clear();
}

int V4l2Device::requestBuffers(uint32_t& count) {
    unmapBuffers();
    v4l2_requestbuffers req{};
    req.count = count;
    req.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    req.memory = V4L2_MEMORY_MMAP;
    int rc = xioctl(VIDIOC_REQBUFS, &req);
    if (rc) return rc;
    count = req.count;
    for (uint32_t i = 0; i < req.count; ++i) {
        v4l2_buffer b{};
        b.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        b.memory = V4L2_MEMORY_MMAP;
        b.index = i;
        rc = xioctl(VIDIOC_QUERYBUF, &b);
        if (rc) { unmapBuffers(); return rc; }
        void* p = v4l2_mmap(nullptr, b.length, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, b.m.offset);
        if (p == MAP_FAILED) { rc = errno; unmapBuffers(); return rc; }
        buffers_.push_back({p, b.length});
    }
    return 0;
}

int V4l2Device::queueBuffer(uint32_t index) {
    v4l2_buffer b{};
    b.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    b.memory = V4L2_MEMORY_MMAP;
    b.index = index;
    return xioctl(VIDIOC_QBUF, &b);
}

int V4l2Device::dequeueBuffer(VideoBufferView& out) {
    v4l2_buffer b{};
    b.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    b.memory = V4L2_MEMORY_MMAP;
    const int rc = xioctl(VIDIOC_DQBUF, &b);
    if (rc) return rc;
    if (b.index >= buffers_.size()) return EINVAL;
    out.index = b.index;
    out.data = static_cast<const uint8_t*>(buffers_[b.index].start);
    out.length = buffers_[b.index].length;
    out.bytesUsed = b.bytesused;
    out.sequence = b.sequence;
    return 0;
}

int V4l2Device::streamOn() {
    v4l2_buf_type t = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    return xioctl(VIDIOC_STREAMON, &t);
}

int V4l2Device::streamOff() {
    v4l2_buf_type t = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    return xioctl(VIDIOC_STREAMOFF, &t);
}

int V4l2Device::waitForFrame(int timeoutMs) {
    if (fd_ < 0) return EBADF;
    pollfd p{fd_, POLLIN, 0};
    const int rc = ::poll(&p, 1, timeoutMs);
    if (rc < 0) return errno;
    if (rc == 0) return ETIMEDOUT;
    if (p.revents & POLLIN) return 0;
    return (p.revents & (POLLHUP | POLLNVAL)) ? ENODEV : EIO;
}

}  // namespace media
}  // namespace vexa
