// The host's settings dialog reduced to what its device-options pages meet: one page shown at a
// time, switching pages, OK and Cancel.
#pragma once
#include <string>
#include <vector>

#include "host/PropertyPage.h"

class CPropertySheet {
public:
    explicit CPropertySheet(std::string language = "en") : m_language(std::move(language)) {}

    // Pages are not owned; the first added is shown first.
    void AddPage(CPropertyPage* page) { m_pages.push_back(page); }
    // Makes the page's window if needed and activates it. Answers false with a message when the
    // template is unusable or the current page refuses to be left.
    bool SetActivePage(int index, std::string* error = nullptr);
    // Leaves the page and activates nothing (e.g. the host shows one of its own pages).
    bool Deactivate();
    CPropertyPage* GetActivePage() const { return m_active >= 0 ? m_pages[static_cast<size_t>(m_active)] : nullptr; }
    // OK: the active page must let itself be left, then every page made so far is applied.
    // Answers false (nothing applied, the page stays) when validation failed.
    bool PressOK();
    void PressCancel();
    const std::string& Language() const { return m_language; }

private:
    std::string m_language;
    std::vector<CPropertyPage*> m_pages;
    int m_active = -1;
};
