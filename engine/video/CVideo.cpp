#include "CVideo.h"

#include "CMessageLog.h"
#include "CPathResolver.h"
#include "CVideoSourceFactory.h"
#include "CamVidStream.h"
#include "VideoLayer.h"

#include <osgDB/FileUtils>

#include <cstdio>

namespace
{
const float kPi = 3.1415927f;

void log(const std::string& text)
{
    CMessageLog::Instance()->WriteToLog(text);
}
}

CVideo::CVideo() : m_videoNode(new osg::MatrixTransform) {}

CVideo::CVideo(const CVideo& other) = default;

CVideo& CVideo::operator=(const CVideo& other) = default;

CVideo::~CVideo()
{
    m_processedFrame = nullptr;
    m_stream = nullptr;
}

std::string CVideo::QuotedPath(const std::string& path)
{
    // The configuration text separates words by blanks.
    if (path.find_first_of(" \t") == std::string::npos) return path;
    return "\"" + path + "\"";
}

bool CVideo::ReadCameraConfig(const std::string& fileName, std::string& config)
{
    FILE* file = std::fopen(CPathResolver::Resolve(fileName).c_str(), "rb");
    if (!file) return false;
    char line[2048];
    while (std::fgets(line, sizeof(line), file))
    {
        if (line[0] == '$') break;
        if (line[0] == '#' || line[0] == '\n' || line[0] == '\0') continue;
        if (line[0] == '\r' && line[1] == '\n') continue;
        config = line;
    }
    std::fclose(file);
    return true;
}

bool CVideo::InitWebCamStream(int thresholdShaderKind, const std::string& type, bool, bool,
                              const std::string& cameraConfigFile)
{
    log("CVideo::Init()....");
    log("CVideo::Init : Attempting to use " + type);
    std::string config;
    const bool usesCameraLibrary = type != "DSHOW" && type != "imagingsource" && type != "VRMAGIC";
    // Files opened through the camera library follow the engine's frames
    // when the engine runs with a fixed time step.
    CamVidStream::SetFileFramesLocked(m_frameLocked);
    if (!m_videoFile.empty())
        config = "file " + QuotedPath(CPathResolver::Normalise(m_videoFile)) + (m_videoLoop ? " loop" : " noloop");
    else if (usesCameraLibrary && !cameraConfigFile.empty() && !ReadCameraConfig(cameraConfigFile, config))
    {
        std::printf("Error: Failed to load Video congfig file %s\n", cameraConfigFile.c_str());
        std::fflush(stdout);
        return false;
    }
    m_stream = m_videoFile.empty() ? CreateSource(type, config) : CVideoSourceFactory::CreateCameraLibraryStream(config);
    if (m_stream.valid() && m_stream->isValid())
        log("CVideo::Init : Successfully connect to Stream");
    else
        log("CVideo::Init: Error: Could not initialize video!");
    BuildLayer(thresholdShaderKind);
    log("CVideo::Init() Complete");
    return true;
}

CVideoStream* CVideo::CreateSource(const std::string& type, const std::string& config)
{
    if (type == "DSHOW") return CVideoSourceFactory::CreateCaptureStream();
    if (type == "imagingsource" || type == "VRMAGIC")
    {
        // No source of these kinds exists here; an empty picture of the usual
        // size keeps the layer and the tracker working.
        log("CVideo::Init : No " + type + " source on this system, showing an empty picture");
        return CVideoSourceFactory::CreateEmptyStream(640, 480);
    }
    return CVideoSourceFactory::CreateCameraLibraryStream(config);
}

void CVideo::InitWithStream(CVideoStream* stream, int thresholdShaderKind)
{
    m_stream = stream;
    BuildLayer(thresholdShaderKind);
}

void CVideo::BuildLayer(int thresholdShaderKind)
{
    if (!m_stream.valid()) m_stream = CVideoSourceFactory::CreateEmptyStream(640, 480);
    // Update presents each new frame before the tracker runs; the drawing
    // must show that frame, not a newer one arriving in between.
    m_stream->SetPresentedByOwner(true);
    // Bin 0: the picture is drawn first of all, so the marker hider overlay
    // (bin 1) always lands on top of it.
    m_layer = new VideoLayer(m_stream.get(), 0);
    m_layer->init();
    m_flipped = false;
    m_visible = true;
    m_videoNode = new osg::MatrixTransform(osg::Matrix::scale(1.0, 1.0, 1.0) * osg::Matrix::translate(0.0, 0.0, 0.0));
    m_videoNode->addChild(m_layer.get());

    m_layerState = m_layer->getOrCreateStateSet();
    osg::ref_ptr<osg::Program> program = new osg::Program;
    program->setName("video_binary_threshold_program");
    osg::ref_ptr<osg::Shader> vertex = new osg::Shader(osg::Shader::VERTEX);
    osg::ref_ptr<osg::Shader> fragment = new osg::Shader(osg::Shader::FRAGMENT);
    const char* stem = thresholdShaderKind == 0 ? "shaders/binaryThresholdRect" : "shaders/binaryThreshold";
    LoadShaderSource(vertex.get(), std::string(stem) + ".vert");
    LoadShaderSource(fragment.get(), std::string(stem) + ".frag");
    program->addShader(vertex.get());
    program->addShader(fragment.get());
    m_layerState->setAttributeAndModes(program.get(), osg::StateAttribute::ON);

    m_thresholdUniform = new osg::Uniform("threshold", 0.5f);
    m_useThresholdUniform = new osg::Uniform("useThreshold", 0);
    m_layerState->addUniform(m_thresholdUniform.get(), osg::StateAttribute::ON);
    m_layerState->addUniform(m_useThresholdUniform.get(), osg::StateAttribute::ON);
    m_layerState->addUniform(new osg::Uniform("tex", 0), osg::StateAttribute::ON);
    m_useThreshold = false;

    // Unit 1: the tracker's two-valued picture, when the view shows it.
    m_thresholdPicture = new osg::Texture2D;
    m_thresholdPicture->setFilter(osg::Texture::MIN_FILTER, osg::Texture::NEAREST);
    m_thresholdPicture->setFilter(osg::Texture::MAG_FILTER, osg::Texture::NEAREST);
    m_thresholdPicture->setWrap(osg::Texture::WRAP_S, osg::Texture::CLAMP_TO_EDGE);
    m_thresholdPicture->setWrap(osg::Texture::WRAP_T, osg::Texture::CLAMP_TO_EDGE);
    m_thresholdPicture->setResizeNonPowerOfTwoHint(false);
    m_thresholdPicture->setUnRefImageDataAfterApply(false);
    m_layerState->setTextureAttribute(1, m_thresholdPicture.get(), osg::StateAttribute::ON);
    m_useThresholdPictureUniform = new osg::Uniform("useThresholdPicture", 0);
    m_layerState->addUniform(m_useThresholdPictureUniform.get(), osg::StateAttribute::ON);
    m_layerState->addUniform(new osg::Uniform("thresholdPicture", 1), osg::StateAttribute::ON);
}

void CVideo::SetThresholdPicture(osg::Image* picture)
{
    if (!m_thresholdPicture.valid()) return;
    if (m_thresholdPicture->getImage() != picture) m_thresholdPicture->setImage(picture);
    m_useThresholdPictureUniform->set(picture ? 1 : 0);
}

void CVideo::LoadShaderSource(osg::Shader* shader, const std::string& fileName)
{
    std::string path = osgDB::findDataFile(fileName);
    if (path.empty() && CPathResolver::Exists(fileName)) path = CPathResolver::Resolve(fileName);
    if (!path.empty() && shader->loadShaderSourceFromFile(path)) return;
    std::printf("File \"%s\" not found.\n", fileName.c_str());
    std::fflush(stdout);
}

void CVideo::StartWebStream()
{
    if (m_stream.valid()) m_stream->StartStream();
}

void CVideo::StopStreams()
{
    if (m_stream.valid()) m_stream->stop();
}

void CVideo::CleanUp()
{
    if (m_stream.valid()) m_stream->CleanUp();
}

bool CVideo::Update(float threshold)
{
    if (m_thresholdUniform.valid()) m_thresholdUniform->set(threshold);
    if (m_stream.valid()) m_stream->UpdateStream();
    return true;
}

void CVideo::ApplyVideo()
{
    if (m_layer.valid()) m_layer->ApplyVideo(m_stream.get());
}

void CVideo::ToggleVisible()
{
    m_visible = !m_visible;
    if (m_layer.valid()) m_layer->setNodeMask(m_visible ? ~0u : 0u);
}

void CVideo::ToggleUseThreshold()
{
    ShowThreshold(!m_useThreshold);
}

void CVideo::ShowThreshold(bool on)
{
    m_useThreshold = on;
    if (m_useThresholdUniform.valid()) m_useThresholdUniform->set(on ? 1 : 0);
}

void CVideo::ToggleFlip()
{
    m_flipped = !m_flipped;
    if (m_layer.valid()) m_layer->SetRotation(0.f, m_flipped ? kPi : 0.f, 0.f, 1, -1);
}
