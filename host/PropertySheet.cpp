#include "host/PropertySheet.h"

bool CPropertySheet::SetActivePage(int index, std::string* error)
{
    if (index < 0 || index >= static_cast<int>(m_pages.size())) {
        if (error) *error = "no page " + std::to_string(index);
        return false;
    }
    if (index == m_active) return true;
    if (!Deactivate()) {
        if (error) *error = "the page shown cannot be left";
        return false;
    }
    CPropertyPage* page = m_pages[static_cast<size_t>(index)];
    if (!page->CreatePage(m_language, error)) return false;
    m_active = index;
    page->OnSetActive();
    return true;
}

bool CPropertySheet::Deactivate()
{
    CPropertyPage* page = GetActivePage();
    if (!page) return true;
    if (!page->OnKillActive()) return false;
    m_active = -1;
    return true;
}

bool CPropertySheet::PressOK()
{
    CPropertyPage* page = GetActivePage();
    if (page && !page->OnKillActive()) return false;
    for (CPropertyPage* p : m_pages)
        if (p->IsCreated()) p->OnApply();
    return true;
}

void CPropertySheet::PressCancel()
{
    for (CPropertyPage* p : m_pages)
        if (p->IsCreated()) p->OnCancel();
}
