// Pages of the HUD layer: groups of regions shown, hidden and faded together.
#include "CHudRegionManager.h"

#include "CHudRegion.h"

osg::Group* CHudRegionManager::AddPage(const std::string& name)
{
    if (!m_root.valid()) return nullptr;
    osg::ref_ptr<osg::Group> page = new osg::Group;
    page->setName(name);
    m_root->addChild(page.get());
    m_pages.push_back(page);
    m_pageNames.push_back(name);
    m_pageRegions.emplace_back();
    return page.get();
}

int CHudRegionManager::FindPage(const std::string& name) const
{
    for (size_t i = 0; i < m_pageNames.size(); ++i)
        if (m_pageNames[i] == name) return static_cast<int>(i);
    return -1;
}

void CHudRegionManager::SelectPage(const std::string& name)
{
    const int index = FindPage(name);
    m_currentPage = index >= 0 && index < static_cast<int>(m_pages.size()) ? index : -1;
}

std::string CHudRegionManager::GetCurrentPageName() const
{
    return m_currentPage >= 0 ? m_pageNames[m_currentPage] : std::string("MAIN");
}

osg::Group* CHudRegionManager::GetPage(int index) const
{
    return index >= 0 && index < static_cast<int>(m_pages.size()) ? m_pages[index].get() : nullptr;
}

const std::vector<CHudRegion*>& CHudRegionManager::GetPageRegions(int index) const
{
    static const std::vector<CHudRegion*> none;
    return index >= 0 && index < static_cast<int>(m_pageRegions.size()) ? m_pageRegions[index] : none;
}

bool CHudRegionManager::IsPageVisible(const std::string& name) const
{
    const osg::Group* page = GetPage(FindPage(name));
    return page && page->getNodeMask() == ~0u;
}

bool CHudRegionManager::IsCurrentPageVisible() const
{
    const osg::Group* page = GetPage(m_currentPage);
    return page && page->getNodeMask() == ~0u;
}

void CHudRegionManager::SetPageVisible(const std::string& name, bool on)
{
    SetPageVisible(FindPage(name), on);
}

void CHudRegionManager::SetPageVisible(int index, bool on)
{
    if (osg::Group* page = GetPage(index)) page->setNodeMask(on ? ~0u : 0u);
}

void CHudRegionManager::ShowOnlyPage(const std::string& name)
{
    ShowOnlyPage(FindPage(name));
}

void CHudRegionManager::ShowOnlyPage(int index)
{
    if (!GetPage(index)) return;
    for (osg::ref_ptr<osg::Group>& page : m_pages) page->setNodeMask(0u);
    m_pages[index]->setNodeMask(~0u);
}

void CHudRegionManager::FadeCurrentPage(double from, double to, double duration)
{
    if (m_currentPage < 0 || !m_fade.valid()) return;
    m_fade->StartFade(m_pageRegions[m_currentPage], m_pages[m_currentPage].get(), from, to, duration);
}

void CHudRegionManager::SetCurrentPageTransparent(bool on, double alpha)
{
    if (m_currentPage < 0) return;
    for (CHudRegion* region : m_pageRegions[m_currentPage]) region->SetTransparent(on, alpha);
}
