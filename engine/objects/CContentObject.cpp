#include "CContentObject.h"

#include "CAnimatedEntity.h"
#include "CBubbleEntity.h"
#include "CCharacterEntity.h"
#include "CContentFiles.h"
#include "CMessageLog.h"
#include "CModelFileCheck.h"
#include "CModelGroup.h"
#include "CObjectEffects.h"
#include "COsgSettings.h"
#include "CPathResolver.h"
#include "CShaderFile.h"
#include "CSoundEntity.h"
#include "CTraceParticleEntity.h"
#include "CVideoEntity.h"
#include "CVideoMaterialEntity.h"

#include <osg/BlendFunc>
#include <osg/Program>
#include <osg/Uniform>
#include <osgDB/FileNameUtils>
#include <osgDB/ReadFile>
#include <osgDB/Registry>

#include <fstream>
#include <sstream>

namespace
{
const double kDegreesToRadians = 0.0174532925;
const double kRadiansToDegrees = 57.29578;
const char* kShadowCompVertex = "shaders/shadowComp.vert";
const char* kShadowCompFragment = "shaders/shadowComp.frag";

// Top-level blocks of a content data file: an entity block that is not
// closed ends where one of these begins.
const std::vector<std::string> kEntityStops = {"<ENTITY>", "<VEXA_MARKER>", "<OBJECT_GROUP>"};
const std::vector<std::string> kInEntityStops = {"<ENTITY>", "<VEXA_MARKER>", "<OBJECT_GROUP>", "</ENTITY>"};
const std::vector<std::string> kModelStops = {"<ENTITY>", "<VEXA_MARKER>", "<OBJECT_GROUP>", "</ENTITY>", "<MODEL>"};
const std::vector<std::string> kInModelStops = {"<ENTITY>", "<VEXA_MARKER>", "<OBJECT_GROUP>", "</ENTITY>",
                                                "<MODEL>", "</MODEL>"};

// Blocks inside a <MODEL> block acted on by the animated and media entities.
bool isModelBlock(const std::string& tag)
{
    return tag == "<ANI_CONTROL>" || tag == "<VIDEO_MAT>" || tag == "<TRACE_PARTICLE>";
}

std::string modelMissingMessage(const std::string& tag)
{
    if (tag == "<TRACE_PARTICLE>")
        return "CMSObject: LoadTraceParticleSystem: Error: Model must be loaded before applying a <TRACE_PARTICLE> node "
               "can be applied";
    return "INFOMATION: Model must be loaded before applying an " + tag + " node can be applied";
}

osg::Shader* shaderFromFile(osg::Shader::Type type, const std::string& file)
{
    osg::Shader* shader = CShaderFile::ReadQuietly(type, file);
    if (!shader) osg::notify(osg::WARN) << "File \"" << file << "\" not found." << std::endl;
    return shader;
}

void writeKept(COsgSettings& writer, const std::vector<CTagBlock::KeptLine>& lines)
{
    for (const CTagBlock::KeptLine& line : lines)
    {
        for (int i = 0; i < line.depth; ++i) writer.Indent();
        writer.WriteIndent();
        std::string text;
        for (size_t t = 0; t < line.tokens.size(); ++t) text += (t ? " " : "") + line.tokens[t];
        writer.WriteLine(text);
        for (int i = 0; i < line.depth; ++i) writer.Unindent();
    }
}

std::string describe(const char* label, double x, double y, double z)
{
    std::ostringstream text;
    text << label << " x: " << x << " y: " << y << " z: " << z;
    return text.str();
}
}

CContentObject::CContentObject()
{
    m_rootNode = new osg::MatrixTransform;
    m_secondNode = new osg::Group;
    m_spareGroup = new osg::Group;
}

CContentObject::~CContentObject()
{
    for (ModelEntry* entry : m_models) delete entry;
    for (CMarkerEntity* entity : m_entities) delete entity;
}

void CContentObject::Reset()
{
    for (ModelEntry* entry : m_models) delete entry;
    for (CMarkerEntity* entity : m_entities) delete entity;
    m_models.clear();
    m_entities.clear();
    m_effectGroups.clear();
    m_keptEffectGroups.clear();
    m_keptEntities.clear();
    m_rootNode->removeChildren(0, m_rootNode->getNumChildren());
    m_secondNode->removeChildren(0, m_secondNode->getNumChildren());
    m_name = m_group = m_marker = "NONE";
    m_icon.clear();
    m_videoInfo.clear();
    m_iconTexture = nullptr;
    m_fileScale = 1.0;
    SetTranslation(0, 0, 0);
    SetRotation(0, 0, 0);
    SetScale(1.0);
}

void CContentObject::Trigger(std::vector<int> keys)
{
    for (CMarkerEntity* entity : m_entities) entity->Trigger(keys);
}

void CContentObject::CleanUp()
{
    for (CMarkerEntity* entity : m_entities) entity->CleanUp();
}

bool CContentObject::Load(int id, COsgSettings& reader)
{
    if (m_loaded) Reset();  // a second load starts from a fresh object
    m_id = id;
    m_loaded = true;
    UpdateRootMatrix();
    for (;;)
    {
        const CTagBlock::Step step = CTagBlock::Next(reader, "</ENTITY>", kEntityStops);
        if (step == CTagBlock::CLOSED) return true;
        if (step == CTagBlock::UNCLOSED)
        {
            CTagBlock::Print("Warning! <ENTITY> block of object " + m_name + " is not closed by </ENTITY>; it ends here");
            return false;
        }
        ApplyEntityLine(reader, reader.NextString());
    }
}

std::string CContentObject::ReadWord(COsgSettings& reader, const std::string& tag, const std::string& fallback)
{
    const std::string word = reader.NextString();
    if (!word.empty()) return word;
    CTagBlock::Print("Warning! " + tag + " expects a word, found nothing");
    return fallback;
}

void CContentObject::ApplyEntityLine(COsgSettings& reader, const std::string& tag)
{
    if (tag == "<TRANS>")
    {
        const std::vector<double> v = CTagBlock::Numbers(reader, tag, 3);
        SetTranslation(v[0], v[1], v[2]);
    }
    else if (tag == "<ROT>")
    {
        const std::vector<double> v = CTagBlock::Numbers(reader, tag, 3);
        SetRotation(v[0] * kDegreesToRadians, v[1] * kDegreesToRadians, v[2] * kDegreesToRadians);
    }
    else if (tag == "<SCALE>")
    {
        m_fileScale = CTagBlock::Numbers(reader, tag, 1)[0];
        SetScale(m_fileScale);
    }
    else if (tag == "<NAME>") m_name = ReadWord(reader, tag, m_name);
    else if (tag == "<GROUP>") m_group = ReadWord(reader, tag, m_group);
    else if (tag == "<MARKER>") m_marker = ReadWord(reader, tag, m_marker);
    else if (tag == "<ICON>") LoadIcon(ReadWord(reader, tag, ""));
    else if (tag == "<VIDEO_INFO>") m_videoInfo = ReadWord(reader, tag, m_videoInfo);
    else if (tag == "<MODEL>") LoadModelBlock(reader);
    else if (tag == "<EFFECT_GROUP>") CObjectEffects::ReadGroup(reader, this, m_effectGroups, m_keptEffectGroups);
    else if (tag == "<BUBBLES>")
    {
        const std::vector<double> v = CTagBlock::Numbers(reader, tag, 3);
        CBubbleEntity* bubbles = new CBubbleEntity(osg::Vec3f(float(v[0]), float(v[1]), float(v[2])));
        m_secondNode->addChild(bubbles->GetNode());
        m_entities.push_back(bubbles);
    }
    else if (tag == "<SOUND>")
    {
        CSoundEntity* sound = CSoundEntity::Read(reader, kInEntityStops);
        m_secondNode->addChild(sound->GetNode());
        m_entities.push_back(sound);
    }
    else if (tag == "<CHARACTER>") LoadCharacter(reader);
    else if (tag == "<VIDEO>")
    {
        CVideoEntity* video = CVideoEntity::Read(reader, kInEntityStops);
        m_rootNode->addChild(video->GetNode());
        m_entities.push_back(video);
    }
}

void CContentObject::LoadCharacter(COsgSettings& reader)
{
    // The block's lines are kept so that saving the object writes it back.
    const size_t first = m_keptEntities.size();
    CTagBlock::Skip(reader, "<CHARACTER>", kInEntityStops, &m_keptEntities);
    const std::vector<CTagBlock::KeptLine> block(m_keptEntities.begin() + long(first), m_keptEntities.end());
    CCharacterEntity* character = CCharacterEntity::FromBlock(block);
    if (!character)
    {
        CTagBlock::Print("Failed to create character entity! Harsh");
        return;
    }
    m_rootNode->addChild(character->GetNode());
    m_entities.push_back(character);
}

void CContentObject::LoadModelBlock(COsgSettings& reader)
{
    ModelEntry* current = nullptr;
    for (;;)
    {
        const CTagBlock::Step step = CTagBlock::Next(reader, "</MODEL>", kModelStops);
        if (step == CTagBlock::CLOSED) return;
        if (step == CTagBlock::UNCLOSED)
        {
            CTagBlock::Print("Warning! <MODEL> block of object " + m_name + " is not closed by </MODEL>; it ends here");
            return;
        }
        ApplyModelLine(reader, reader.NextString(), current);
    }
}

void CContentObject::ApplyModelLine(COsgSettings& reader, const std::string& tag, ModelEntry*& current)
{
    if (tag == "<FILE>")
    {
        const std::string path = reader.NextString();
        if (path.empty())
        {
            CTagBlock::Print("Error! <MODEL> tag requires a file path");
            return;
        }
        current = LoadModel(path);
    }
    else if (tag == "<DIFFUSE_MAP>" || tag == "<GLOSS_MAP>")
    {
        const std::string file = reader.NextString();
        if (!current) return;  // the effects that read the maps need a model too
        (tag == "<DIFFUSE_MAP>" ? current->diffuseMap : current->glossMap) = file;
    }
    else if (tag == "<EFFECT>") CObjectEffects::ReadModelEffect(reader, current, kInModelStops);
    else if (tag == "<GROUP_EFFECT>") CObjectEffects::ApplyGroup(reader, m_effectGroups, current);
    else if (tag == "<SHADOW_COMP_MAT>") LoadShadowCompMat(reader, current);
    else if (isModelBlock(tag) && current)
    {
        // The block's lines are kept so that saving the object writes it back.
        const size_t first = current->keptLines.size();
        CTagBlock::Skip(reader, tag, kInModelStops, &current->keptLines);
        const std::vector<CTagBlock::KeptLine> block(current->keptLines.begin() + long(first), current->keptLines.end());
        AttachModelEntity(tag, block, current->node.get());
    }
    else if (isModelBlock(tag))
    {
        const std::string message = modelMissingMessage(tag);
        CMessageLog::Instance()->WriteToLog(message);
        CTagBlock::Skip(reader, tag, kInModelStops, nullptr);
    }
}

void CContentObject::AttachModelEntity(const std::string& tag, const std::vector<CTagBlock::KeptLine>& block,
                                       osg::Node* model)
{
    if (tag == "<ANI_CONTROL>") m_entities.push_back(CAnimatedEntity::FromBlock(block, model));
    else if (tag == "<VIDEO_MAT>") m_entities.push_back(CVideoMaterialEntity::FromBlock(block, model));
    else if (CTraceParticleEntity* trail = CTraceParticleEntity::FromBlock(block, model, m_rootNode.get()))
    {
        m_secondNode->addChild(trail->GetNode());
        m_entities.push_back(trail);
    }
}

ModelEntry* CContentObject::LoadModel(const std::string& path)
{
    const std::string resolved = CContentFiles::Find(path);
    osg::ref_ptr<osg::Node> node;
    if (osgDB::getLowerCaseFileExtension(resolved) == "zep")
    {
        CContentFiles::FolderChange folder(osgDB::getFilePath(resolved));
        if (folder.Entered())
        {
            if (CModelGroup* group = CModelGroup::Load(osgDB::getSimpleFileName(resolved))) node = group->GetNode();
        }
    }
    else if (CPathResolver::Exists(resolved))
    {
        std::string reason;
        if (CModelFileCheck::Readable(resolved, &reason))
            node = osgDB::readNodeFile(resolved, osgDB::Registry::instance()->getOptions());
        else
            CTagBlock::Print("Warning! " + path + " is not a readable model: " + reason);
    }
    // A reader that made sense of nothing returns a node without geometry.
    if (node.valid() && !node->getBound().valid()) node = nullptr;
    if (!node.valid())
    {
        CTagBlock::Print("Error! Could not load model " + path);
        return nullptr;
    }
    ModelEntry* entry = new ModelEntry;
    entry->filePath = path;
    entry->node = node;
    m_rootNode->addChild(node.get());
    m_models.push_back(entry);
    return entry;
}

void CContentObject::LoadShadowCompMat(COsgSettings& reader, ModelEntry* current)
{
    if (!current)
    {
        CTagBlock::Print("CMSObject: LoadShadowCompMat: Error: Model must be loaded before applying an "
                         "<SHADOW_COMP_MAT> node can be applied");
        CTagBlock::Skip(reader, "<SHADOW_COMP_MAT>", kInModelStops, nullptr);
        return;
    }
    for (;;)
    {
        const CTagBlock::Step step = CTagBlock::Next(reader, "</SHADOW_COMP_MAT>", kInModelStops);
        if (step == CTagBlock::CLOSED) break;
        if (step == CTagBlock::UNCLOSED)
        {
            CTagBlock::Print("Warning! <SHADOW_COMP_MAT> block is not closed by </SHADOW_COMP_MAT>; it ends here");
            break;
        }
        const std::string tag = reader.NextString();
        if (tag == "<BLEND>") current->shadowBlend = float(CTagBlock::Numbers(reader, tag, 1)[0]);
        else if (tag == "<SOFTEN>") current->shadowSoften = float(CTagBlock::Numbers(reader, tag, 1)[0]);
    }
    current->hasShadowComp = true;
    osg::Program* program = new osg::Program;
    program->setName("Shadow compensation");
    if (osg::Shader* shader = shaderFromFile(osg::Shader::VERTEX, kShadowCompVertex)) program->addShader(shader);
    if (osg::Shader* shader = shaderFromFile(osg::Shader::FRAGMENT, kShadowCompFragment)) program->addShader(shader);
    osg::StateSet* state = current->node->getOrCreateStateSet();
    if (program->getNumShaders() > 0) state->setAttributeAndModes(program, osg::StateAttribute::ON);
    // The catcher only darkens what lies behind it.
    state->setAttributeAndModes(new osg::BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA), osg::StateAttribute::ON);
    state->setRenderingHint(osg::StateSet::TRANSPARENT_BIN);
    state->addUniform(new osg::Uniform("ShadBlend", current->shadowBlend));
    state->addUniform(new osg::Uniform("Epsilon", current->shadowSoften));
}

void CContentObject::LoadIcon(const std::string& file)
{
    if (file.empty()) return;
    m_icon = file;
    osg::ref_ptr<osg::Image> image =
        osgDB::readImageFile(CContentFiles::Find(file), osgDB::Registry::instance()->getOptions());
    if (!image.valid())
    {
        CTagBlock::Print("Error could not load image file " + file);
        return;
    }
    m_iconTexture = new osg::Texture2D(image.get());
    osg::Group* iconNode = new osg::Group;
    iconNode->setName("Icon");
    iconNode->getOrCreateStateSet()->setTextureAttributeAndModes(0, m_iconTexture.get(), osg::StateAttribute::ON);
    m_secondNode->addChild(iconNode);
}

void CContentObject::SetTranslation(double x, double y, double z)
{
    m_translation[0] = x, m_translation[1] = y, m_translation[2] = z;
    m_translationMatrix = osg::Matrixd::translate(x, y, z);
    UpdateRootMatrix();
}

void CContentObject::SetRotation(double x, double y, double z)
{
    m_rotation[0] = x, m_rotation[1] = y, m_rotation[2] = z;
    m_rotationMatrix = osg::Matrixd::rotate(x, osg::X_AXIS) * osg::Matrixd::rotate(y, osg::Y_AXIS) *
                       osg::Matrixd::rotate(z, osg::Z_AXIS);
    UpdateRootMatrix();
}

void CContentObject::SetScale(double s)
{
    m_scale = s;
    m_scaleMatrix = osg::Matrixd::scale(s, s, s);
    UpdateRootMatrix();
}

void CContentObject::UpdateRootMatrix()
{
    if (m_rootNode.valid()) m_rootNode->setMatrix(m_scaleMatrix * m_rotationMatrix * m_translationMatrix);
}

void CContentObject::Update(float seconds, const MarkerState& state)
{
    m_visible = state.visible;
    for (CMarkerEntity* entity : m_entities) entity->update(seconds, state);
}

void CContentObject::WriteModel(COsgSettings& writer, const ModelEntry& entry) const
{
    writer.WriteIndent();
    writer.WriteLine("<MODEL>");
    writer.Indent();
    writer.WriteIndent();
    writer.WriteTag("<FILE>");
    writer.WriteString(entry.filePath);
    if (!entry.diffuseMap.empty())
    {
        writer.WriteIndent();
        writer.WriteTag("<DIFFUSE_MAP>");
        writer.WriteString(entry.diffuseMap);
    }
    if (!entry.glossMap.empty())
    {
        writer.WriteIndent();
        writer.WriteTag("<GLOSS_MAP>");
        writer.WriteString(entry.glossMap);
    }
    if (entry.hasShadowComp)
    {
        writer.WriteIndent();
        writer.WriteLine("<SHADOW_COMP_MAT>");
        writer.Indent();
        writer.WriteIndent();
        writer.WriteTag("<BLEND>");
        writer.WriteFloat(entry.shadowBlend);
        writer.WriteIndent();
        writer.WriteTag("<SOFTEN>");
        writer.WriteFloat(entry.shadowSoften);
        writer.Unindent();
        writer.WriteIndent();
        writer.WriteLine("</SHADOW_COMP_MAT>");
    }
    CObjectEffects::WriteModelEffect(writer, entry);
    writeKept(writer, entry.keptLines);
    writer.Unindent();
    writer.WriteIndent();
    writer.WriteLine("</MODEL>");
}

bool CContentObject::SaveSettings(const std::string& fileName)
{
    COsgSettings writer;
    if (!writer.Open(fileName))
    {
        CTagBlock::Print("Error! Could not write the object to " + fileName);
        return false;
    }
    writer.WriteLine("<ENTITY>");
    writer.Indent();
    const std::pair<const char*, const std::string*> words[] = {
        {"<NAME>", &m_name}, {"<GROUP>", &m_group}, {"<MARKER>", &m_marker}, {"<ICON>", &m_icon},
        {"<VIDEO_INFO>", &m_videoInfo}};
    for (const auto& word : words)
    {
        if (word.second->empty()) continue;  // an empty value would not read back
        writer.WriteIndent();
        writer.WriteTag(word.first);
        writer.WriteString(*word.second);
    }
    writer.WriteIndent();
    writer.WriteTag("<TRANS>");
    writer.WriteVec3(osg::Vec3f(float(m_translation[0]), float(m_translation[1]), float(m_translation[2])));
    CTagBlock::Print(describe("Stored position", m_translation[0], m_translation[1], m_translation[2]));
    writer.WriteIndent();
    writer.WriteTag("<ROT>");
    writer.WriteVec3(osg::Vec3f(float(m_rotation[0] * kRadiansToDegrees), float(m_rotation[1] * kRadiansToDegrees),
                                float(m_rotation[2] * kRadiansToDegrees)));
    CTagBlock::Print(describe("Stored angle", m_rotation[0], m_rotation[1], m_rotation[2]));
    writer.WriteIndent();
    writer.WriteTag("<SCALE>");
    writer.WriteFloat(m_scale);
    CObjectEffects::WriteGroups(writer, m_effectGroups);
    writeKept(writer, m_keptEffectGroups);
    for (const ModelEntry* entry : m_models) WriteModel(writer, *entry);
    for (CMarkerEntity* entity : m_entities) entity->Save(writer);
    writeKept(writer, m_keptEntities);
    writer.Unindent();
    writer.WriteLine("</ENTITY>");
    if (writer.Close()) return true;
    CTagBlock::Print("Error! Could not write the object to " + fileName);
    return false;
}
