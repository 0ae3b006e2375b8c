#include "CTraceParticleEntity.h"

#include "CContentFiles.h"
#include "CEntityBlockValues.h"
#include "CMessageLog.h"

#include <osg/BlendFunc>
#include <osg/Depth>
#include <osg/GL>
#include <osg/Geode>
#include <osg/ShapeDrawable>
#include <osg/Transform>
#include <osgDB/ReadFile>
#include <osgDB/Registry>

#include <cstdlib>

namespace
{
const char* const kWho = "CMSObject: LoadTraceParticleSystem: ";
const float kDefaultSphereRadius = 2.f;

void log(const std::string& text)
{
    CMessageLog::Instance()->WriteToLog(text);
}

float number(const std::vector<std::string>& line, float fallback)
{
    return static_cast<float>(CEntityBlockValues::Number(line, fallback));
}

// The version of the OpenGL that draws, in the log; nothing to say before a
// window's context exists (content is loaded before the window opens).
void logOpenGlVersion()
{
    const GLubyte* version = glGetString(GL_VERSION);
    if (!version)
    {
        log(std::string(kWho) + "OpenGL version unknown (no drawing context yet)");
        return;
    }
    const char* text = reinterpret_cast<const char*>(version);
    log(text);
    log(std::atof(text) >= 1.4 ? "OpenGL 1.2 supported" : "OpenGL 1.2 is NOT supported");
}

osg::Node* defaultParticleModel()
{
    osg::ref_ptr<osg::TessellationHints> hints = new osg::TessellationHints;
    hints->setDetailRatio(0.3f);
    osg::Geode* geode = new osg::Geode;
    geode->addDrawable(new osg::ShapeDrawable(new osg::Sphere(osg::Vec3f(), kDefaultSphereRadius), hints.get()));
    osg::Group* group = new osg::Group;
    group->addChild(geode);
    return group;
}

osg::ref_ptr<osg::Node> particleModel(const std::string& file)
{
    osg::ref_ptr<osg::Node> model;
    if (!file.empty())
    {
        logOpenGlVersion();
        model = osgDB::readNodeFile(CContentFiles::Find(file), osgDB::Registry::instance()->getOptions());
        if (!model.valid()) log(std::string(kWho) + "Warning: could not load the particle model " + file +
                                "; the particles are spheres");
    }
    if (!model.valid()) model = defaultParticleModel();
    return model;
}

class FindNamed : public osg::NodeVisitor
{
public:
    explicit FindNamed(const std::string& name) : osg::NodeVisitor(TRAVERSE_ALL_CHILDREN), m_name(name) {}
    void apply(osg::Node& node) override
    {
        if (!found && node.getName() == m_name) found = &node;
        if (!found) traverse(node);
    }
    osg::Node* found = nullptr;

private:
    std::string m_name;
};
}

TraceParticleSettings CTraceParticleEntity::ReadSettings(const std::vector<CTagBlock::KeptLine>& block)
{
    TraceParticleSettings s;
    for (const std::vector<std::string>& line : CEntityBlockValues::Body(block))
    {
        const std::string& tag = line[0];
        if (tag == "<MODE>") s.mode = CEntityBlockValues::Integer(line, s.mode);
        else if (tag == "<MIN_LIFE>") s.minLife = number(line, s.minLife);
        else if (tag == "<MAX_LIFE>") s.maxLife = number(line, s.maxLife);
        else if (tag == "<MIN_VEL>") s.minSpeed = number(line, s.minSpeed);
        else if (tag == "<MAX_VEL>") s.maxSpeed = number(line, s.maxSpeed);
        else if (tag == "<MIN_SCALE>") s.minScale = number(line, s.minScale);
        else if (tag == "<MAX_SCALE>") s.maxScale = number(line, s.maxScale);
        else if (tag == "<START_COLOUR>") s.startColour = CEntityBlockValues::Vec3(line, s.startColour);
        else if (tag == "<END_COLOUR>") s.endColour = CEntityBlockValues::Vec3(line, s.endColour);
        else if (tag == "<COLOUR_VARY>") s.colourVariation = number(line, s.colourVariation);
        else if (tag == "<MIN_OFFSET>") s.minOffset = number(line, s.minOffset);
        else if (tag == "<MAX_OFFSET>") s.maxOffset = number(line, s.maxOffset);
        else if (tag == "<MAX_SPAWN_PER_FRAME>") s.maxSpawnPerFrame = CEntityBlockValues::Integer(line, s.maxSpawnPerFrame);
        else if (tag == "<GRAVITY>") s.gravity = CEntityBlockValues::Vec3(line, s.gravity);
        else if (tag == "<WIND>") s.wind = CEntityBlockValues::Vec3(line, s.wind);
        else if (tag == "<DISTANCE_THRESHOLD>") s.distanceThreshold = number(line, s.distanceThreshold);
        else if (tag == "<COUNT>") s.count = CEntityBlockValues::Integer(line, 0);
        else if (tag == "<FILE>") s.file = CEntityBlockValues::Word(line, "");
        else if (tag == "<NODE_NAME>") s.nodeName = CEntityBlockValues::Word(line, "");
        else if (tag == "<EMISSIVE>") s.emissive = CEntityBlockValues::Integer(line, 0) != 0;
    }
    return s;
}

CTraceParticleEntity* CTraceParticleEntity::FromBlock(const std::vector<CTagBlock::KeptLine>& block, osg::Node* model,
                                                      osg::Node* objectRoot)
{
    return Make(ReadSettings(block), model, objectRoot);
}

CTraceParticleEntity* CTraceParticleEntity::Make(const TraceParticleSettings& settings, osg::Node* model,
                                                 osg::Node* objectRoot)
{
    if (settings.count <= 0)
    {
        log(std::string(kWho) + "Error: A particle count must be given <COUNT> x");
        return nullptr;
    }
    osg::Node* followed = model;
    if (model && !settings.nodeName.empty())
    {
        FindNamed find(settings.nodeName);
        model->accept(find);
        followed = find.found;
        if (!followed)
        {
            log(std::string(kWho) + "Error: The model has no node named \"" + settings.nodeName + "\"");
            return nullptr;
        }
    }
    if (!followed || !followed->asTransform())
    {
        log(std::string(kWho) + "Error: Node is not a transform");
        return nullptr;
    }
    // The transforms from the object's root down to the node place it on the marker.
    std::vector<osg::Node*> path;
    const osg::NodePathList paths = followed->getParentalNodePaths(objectRoot);
    if (!paths.empty()) path.assign(paths.front().begin(), paths.front().end());
    else path.push_back(followed);
    CTraceParticleEntity* entity = new CTraceParticleEntity(settings, path);
    entity->m_followed = followed;
    entity->BuildParticles(particleModel(settings.file).get());
    return entity;
}

CTraceParticleEntity::CTraceParticleEntity(const TraceParticleSettings& settings, std::vector<osg::Node*> path)
    : m_settings(settings), m_path(std::move(path)), m_root(new osg::MatrixTransform)
{
    m_root->setName("TraceParticles");
}

void CTraceParticleEntity::BuildParticles(osg::Node* model)
{
    m_particles.resize(static_cast<size_t>(m_settings.count));
    for (TraceParticle& particle : m_particles)
    {
        particle.Build(model);
        particle.life = 0.f;  // out: waits at the emitter
        m_root->addChild(particle.node.get());
    }
    osg::StateSet* state = m_root->getOrCreateStateSet();
    state->setAttributeAndModes(
        new osg::BlendFunc(GL_SRC_ALPHA, m_settings.emissive ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA, GL_SRC_ALPHA,
                           m_settings.emissive ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA),
        osg::StateAttribute::ON);
    // Each particle is scaled by its own size: its normals are made unit
    // length again, or small particles would be lit almost black.
    state->setMode(GL_NORMALIZE, osg::StateAttribute::ON);
    // Fading particles do not hide each other or what lies behind them.
    state->setAttributeAndModes(new osg::Depth(osg::Depth::LESS, 0.0, 1.0, false), osg::StateAttribute::ON);
    state->setRenderingHint(osg::StateSet::TRANSPARENT_BIN);
}

int CTraceParticleEntity::ActiveCount() const
{
    int count = 0;
    for (const TraceParticle& particle : m_particles) count += particle.active;
    return count;
}

char* CTraceParticleEntity::GetDescription()
{
    char* text = new char[256];
    text[0] = '\0';
    return text;
}
