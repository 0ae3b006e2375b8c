#include "CTrackedMarker.h"

#include "CContentObject.h"

#include <cmath>
#include <cstdio>

namespace
{
const float kLostLongTime = 4.0f;        // seconds lost before a return counts as a reappearance
const float kReappearHold = 0.01f;       // seconds the reappeared flag stays up
const float kSwingStep = 2.0f;           // mm per frame that counts as movement
const float kSwingTravel = 40.0f;        // mm of travel before a gesture decision
const float kChangeStep = 0.033f;        // seconds handed to objects when swapped
}

CTrackedMarker::CTrackedMarker() = default;

void CTrackedMarker::Setup(BaseMarker* marker, CContentObject* object, const std::string& name,
                           const std::string& group, int id)
{
    m_marker = marker;
    m_name = name;
    m_group = group;
    m_id = id;
    if (!marker)
    {
        std::printf("Error while loading marker %d\n", id + 1);
        std::fflush(stdout);
        return;
    }
    marker->setActive(true);
    m_filter = new TransformFilterCallback;
    marker->setFilterCallback(m_filter.get());
    m_filter->EnableRotationSmoothing(true);
    m_filter->SetRotationSmoothing(0.95f);
    m_filter->EnableTranslationSmoothing(true);
    m_filter->SetTranslationSmoothing(0.999f);
    m_filter->EnableJumpRejection(true);
    m_filter->SetJumpDistance(1000.0f);
    m_transform = new MarkerTransform(marker);
    m_auxGroup = new osg::Group;
    if (object) SetObject(object);
    m_spareGroup = new osg::Group;
}

void CTrackedMarker::SetObject(CContentObject* object)
{
    if (!object || !m_transform.valid()) return;
    m_object = object;
    m_transform->addChild(object->GetRootNode());
    m_auxGroup->addChild(object->GetSecondNode());
}

void CTrackedMarker::SetStateFor(bool visible)
{
    m_state.visible = visible;
    m_state.appearedNow = visible;
    m_state.disappearedNow = !visible;
    m_state.reappeared = visible;
    m_state.lostLong = false;
    m_state.visibleTime = visible ? 0.01f : 0.f;
    m_state.invisibleTime = visible ? 0.f : 0.01f;
    m_currentMatrix = m_marker->getTransform();
    m_state.matrix = &m_currentMatrix;
    m_state.previousMatrix = &m_previousMatrix;
}

void CTrackedMarker::ChangeObject(CContentObject* object)
{
    if (!m_transform.valid()) return;
    m_previousMatrix = m_marker->getTransform();
    SetStateFor(false);
    if (m_object) m_object->Update(kChangeStep, m_state);
    if (m_object && object)
    {
        m_transform->replaceChild(m_object->GetRootNode(), object->GetRootNode());
        m_auxGroup->replaceChild(m_object->GetSecondNode(), object->GetSecondNode());
    }
    else if (object)
    {
        m_transform->addChild(object->GetRootNode());
        m_auxGroup->addChild(object->GetSecondNode());
    }
    else if (m_object)
    {
        m_transform->removeChild(m_object->GetRootNode());
        m_auxGroup->removeChild(m_object->GetSecondNode());
    }
    m_object = object;
    SetStateFor(true);
    if (m_object) m_object->Update(kChangeStep, m_state);
    m_objectChanged = true;
}

bool CTrackedMarker::TakeObjectChanged()
{
    const bool changed = m_objectChanged;
    m_objectChanged = false;
    return changed;
}

void CTrackedMarker::UpdateVisibility()
{
    if (!m_marker.valid()) return;
    if (!m_marker->isValid())
    {
        if (m_visible) m_visibleTime = 0.f;
        m_visible = false;
        m_reappeared = false;
        if (m_invisibleTime >= kLostLongTime) m_lostLong = 1;
        m_swingState = 0;
        return;
    }
    if (!m_visible)
    {
        if (m_invisibleTime >= kLostLongTime || m_forceReappear)
        {
            m_reappeared = true;
            m_forceReappear = false;
        }
        m_invisibleTime = 0.f;
        m_previousPosition = m_marker->getTransform().getTrans();
        m_position = m_previousPosition;
        m_previousDirection = m_summedDirection = osg::Vec3f();
        m_previousSpeed = 0.f;
        m_stepCount = 0;
        m_swingState = 0;
    }
    m_lostLong = 0;
    m_visible = true;
}

void CTrackedMarker::Update(float dt)
{
    if (m_useHider) UpdateHider();
    if (m_reappeared && m_visibleTime >= kReappearHold)
    {
        m_reappeared = false;
        ++m_appearCount;
    }
    if (m_visible)
        m_visibleTime += dt;
    else
        m_invisibleTime += dt;
    UpdateMotion(dt);
    FillState(m_state.visible);
    if (m_object) m_object->Update(dt, m_state);
}

void CTrackedMarker::FillState(bool wasVisible)
{
    const osg::Matrixd& pose = m_marker.valid() ? m_marker->getTransform() : m_previousMatrix;
    const osg::Vec3f translation = pose.getTrans();
    m_state.appearedNow = !wasVisible && m_visible;
    m_state.disappearedNow = wasVisible && !m_visible;
    m_state.movement = translation - m_state.previousPosition;
    m_state.previousPosition = translation;
    m_state.visible = m_visible;
    m_state.reappeared = m_reappeared;
    m_state.lostLong = m_lostLong != 0;
    m_state.visibleTime = m_visibleTime;
    m_state.invisibleTime = m_invisibleTime;
    m_previousMatrix = m_currentMatrix;
    m_currentMatrix = pose;
    m_state.previousMatrix = &m_previousMatrix;
    m_state.matrix = &m_currentMatrix;
}

void CTrackedMarker::UpdateMotion(float dt)
{
    if (m_swingState == 2) m_swingState = 0;
    else if (m_swingState == 1) m_swingState = 3;
    if (!m_marker.valid()) return;
    m_previousPosition = m_position;
    m_position = m_marker->getTransform().getTrans();
    const osg::Vec3f d = m_position - m_previousPosition;
    const float length = d.length();
    m_previousSpeed = m_speed;
    m_speed = dt > 0.f ? length / dt : 0.f;
    m_previousDirection = m_direction;
    m_direction = length > 0.f ? d / length : osg::Vec3f();
    if (length >= kSwingStep)
    {
        m_travel += length;
        m_summedDirection += m_direction;
        ++m_stepCount;
    }
    else
    {
        m_travel = 0.f;
        m_summedDirection = osg::Vec3f();
        m_stepCount = 0;
    }
    if (m_direction * m_previousDirection < 0.f)
    {
        m_summedDirection = osg::Vec3f();
        m_stepCount = 0;
    }
    if (m_travel <= kSwingTravel || m_stepCount == 0) return;
    osg::Vec3f average = m_summedDirection / static_cast<float>(m_stepCount);
    average.normalize();
    m_travel = 0.f;
    m_summedDirection = osg::Vec3f();
    m_stepCount = 0;
    m_dominantAxis = 0;
    for (int axis = 1; axis < 3; ++axis)
        if (std::fabs(average[axis]) > std::fabs(average[m_dominantAxis])) m_dominantAxis = axis;
    m_axisSign = average[m_dominantAxis] < 0.f ? 1 : 0;
    if (m_dominantAxis != 2) return;
    if (m_axisSign == 1)
        m_swingState = (m_swingState == 1 || m_swingState == 3) ? 3 : 1;
    else if (m_swingState > 0)
        m_swingState = 2;
}

void CTrackedMarker::SetRotationSmoothing(float factor)
{
    if (m_filter.valid()) m_filter->SetRotationSmoothing(factor);
}

void CTrackedMarker::SetTranslationSmoothing(float factor)
{
    if (m_filter.valid()) m_filter->SetTranslationSmoothing(factor);
}
