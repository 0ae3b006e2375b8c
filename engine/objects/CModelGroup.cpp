#include "CModelGroup.h"

#include "CContentFiles.h"
#include "CLight.h"
#include "CMaterial.h"
#include "COsgSettings.h"
#include "CTagBlock.h"

namespace
{
const std::vector<std::string> kStops = {"<MODEL>", "<LIGHT>", "<MATERIAL>"};

std::string lightingMapFile()
{
    if (CContentFiles::Exists(CModelGroup::kLightingMap)) return CModelGroup::kLightingMap;
    return CModelGroup::kShippedLightingMap;
}
}

const char* const CModelGroup::kLightingMap = "c:/test/light.jpg";
const char* const CModelGroup::kShippedLightingMap = "models/light.jpg";

std::vector<osg::ref_ptr<CModelGroup>>& CModelGroup::List()
{
    static std::vector<osg::ref_ptr<CModelGroup>> groups;
    return groups;
}

const std::vector<osg::ref_ptr<CModelGroup>>& CModelGroup::Loaded()
{
    return List();
}

void CModelGroup::ClearAll()
{
    List().clear();
}

CModelGroup::CModelGroup(const std::string& fileName) : m_fileName(fileName), m_node(new osg::Group)
{
    m_node->setName(fileName);
}

CModelGroup::~CModelGroup()
{
    for (auto& object : m_objects) object->Detach();
}

CModelGroup* CModelGroup::Load(const std::string& fileName)
{
    COsgSettings reader;
    if (!reader.Load(CContentFiles::Find(fileName)))
    {
        CTagBlock::Print("Error! Unable to open ZEP file: " + fileName);
        return nullptr;
    }
    const int materialBase = static_cast<int>(CMaterial::Loaded().size());
    CLight::ReadAll(reader);
    CMaterial::ReadAll(reader);
    if (!reader.FindFirst("<MODEL>"))
    {
        CTagBlock::Print("Error! ZEP files must contain at leat one <MODEL> node");
        return nullptr;
    }
    osg::ref_ptr<CModelGroup> group = new CModelGroup(fileName);
    do
    {
        if (!group->ReadModel(reader, materialBase)) return nullptr;
    } while (reader.FindNext("<MODEL>"));
    List().push_back(group);
    return group.get();
}

bool CModelGroup::ReadModel(COsgSettings& reader, int materialBase)
{
    osg::ref_ptr<COsgObject> object = new COsgObject;
    for (;;)
    {
        const CTagBlock::Step step = CTagBlock::Next(reader, "</MODEL>", kStops);
        if (step == CTagBlock::CLOSED) break;
        if (step == CTagBlock::UNCLOSED)
        {
            CTagBlock::Print("Warning! <MODEL> block is not closed by </MODEL>; it ends here");
            break;
        }
        const std::string tag = reader.NextString();
        if (tag == "<FILENAME>")
        {
            const std::string file = reader.NextString();
            const float size = float(CTagBlock::Numbers(reader, tag, 1)[0]);
            if (!object->LoadMesh(file, size))
            {
                CTagBlock::Print("Error! Unable to load mesh file: '" + file + "'");
                object->Detach();
                return false;
            }
        }
        else ApplyTag(reader, tag, object.get(), materialBase);
    }
    if (!object->GetModel())
    {
        CTagBlock::Print("Warning! <MODEL> block without <FILENAME> in " + m_fileName + " is left out");
        object->Detach();
        return true;
    }
    object->UpdateMatrix();
    m_objects.push_back(object);
    m_node->addChild(object->GetRoot());
    return true;
}

void CModelGroup::ApplyTag(COsgSettings& reader, const std::string& tag, COsgObject* object, int materialBase)
{
    auto needsMesh = [&]() {
        if (object->GetModel()) return true;
        CTagBlock::Print("Warning! " + tag + " needs <FILENAME> before it in " + m_fileName);
        return false;
    };
    auto material = [&](int number) -> CMaterial* {
        CMaterial* found = CMaterial::At(materialBase + number);
        if (!found || number < 0)
        {
            CTagBlock::Print("Warning! " + tag + " " + std::to_string(number) + ": " + m_fileName +
                             " has no material " + std::to_string(number));
            return nullptr;
        }
        return found;
    };
    if (tag == "<TRANS>" || tag == "<ROT>" || tag == "<SCALE>")
    {
        const std::vector<double> v = CTagBlock::Numbers(reader, tag, 3);
        if (tag == "<TRANS>") object->SetTranslation(v[0], v[1], v[2]);
        else if (tag == "<ROT>") object->SetRotation(v[0], v[1], v[2]);
        else object->SetScale(v[0], v[1], v[2]);
    }
    else if (tag == "<SCRIBE_EFFECT>" && needsMesh()) object->ApplyScribe();
    else if (tag == "<CARTOON_EFFECT>")
    {
        const float width = float(CTagBlock::Numbers(reader, tag, 1)[0]);
        if (needsMesh()) object->ApplyCartoon(width);
    }
    else if (tag == "<ANISOTROPIC_EFFECT>" && needsMesh()) object->ApplyAnisotropic(lightingMapFile());
    else if (tag == "<APPLY_SIMPLE_ANIMATION>")
    {
        const std::vector<double> v = CTagBlock::Numbers(reader, tag, 9);
        object->SetSimpleAnimation(v[0], v[1], v[2]);
    }
    else if (tag == "<APPLY_MATERIAL>")
    {
        const int number = CTagBlock::Integer(reader, tag);
        if (!needsMesh()) return;
        if (CMaterial* found = material(number)) object->ApplyMaterial(found);
    }
    else if (tag == "<APPLY_SUB_MATERIAL>")
    {
        const std::string name = reader.NextString();
        const int number = CTagBlock::Integer(reader, tag);
        if (!needsMesh()) return;
        CMaterial* found = material(number);
        if (found && !object->ApplySubMaterial(name, found))
            CTagBlock::Print("Warning! <APPLY_SUB_MATERIAL>: no node named " + name + " in " + object->FileName());
    }
    else if (tag == "<SPLIT_ANIMATION>" || tag == "<USE_SPLIT_ANI>" || tag == "<ANIMATION_RATE>")
        ApplyAnimationTag(reader, tag, object);
}

void CModelGroup::ApplyAnimationTag(COsgSettings& reader, const std::string& tag, COsgObject* object)
{
    const double value = CTagBlock::Numbers(reader, tag, 1)[0];
    CAnimationController* animation = object->GetAnimationController();
    if (!animation)
    {
        CTagBlock::Print("Warning! " + tag + " needs <FILENAME> before it in " + m_fileName);
        return;
    }
    if (animation->GetCallbackCount() == 0)
    {
        CTagBlock::Print("Warning! " + tag + " expects a model with keyframed animation, found none in " +
                         object->FileName());
        return;
    }
    if (tag == "<SPLIT_ANIMATION>")
    {
        if (value >= 1.0) animation->SplitByFrames(int(value), CAnimationController::kDefaultFramesPerSecond);
        else CTagBlock::Print("Warning! <SPLIT_ANIMATION> expects a positive number of frames, found " +
                              reader.LineTokens(size_t(reader.CurrentLine())).back() + "; the animation stays whole");
    }
    else if (tag == "<USE_SPLIT_ANI>")
    {
        animation->SelectSegment(int(value));
        animation->Restart();
    }
    else animation->SetTimeMultiplier(value);
}
