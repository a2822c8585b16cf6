// Shared pieces of the page tests: a driver with its stored options, its device-options page in
// a settings dialog, and short ways to read what the controls show.
#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "devparms/CDEFP_1_RPHOTO.h"
#include "devparms/CDEFP_2_RPHOTO.h"
#include "host/PrintEnv.h"
#include "host/PrinterDriver.h"
#include "host/PropertySheet.h"

namespace pages_test {

// A failed check may be reported by each exchange of the same action; every report is the range message.
inline void ExpectRangeMessages(CDialog& page, const char* text)
{
    const std::vector<std::string> shown = page.TakeMessages();
    EXPECT_FALSE(shown.empty());
    for (const std::string& m : shown) EXPECT_EQ(m, text);
}

// A driver of model 1 or 2 over a settings store, and its page shown in a sheet.
struct PageRig {
    CPrintEnv env;
    std::unique_ptr<CUnivDevParmsBase> parms;  // the host base holds it without owning it
    std::unique_ptr<CPrinterDriverBase> driver;
    std::unique_ptr<CPrintEnvPropertyPage> page;
    CPropertySheet sheet;

    explicit PageRig(const std::string& language = "en") : sheet(language) {}
    // The host destroys the page first, then the driver, then the parameters.
    ~PageRig()
    {
        page.reset();
        driver.reset();
    }

    // Builds the driver (which loads the stored options) and the page from its parameters.
    void Build(int model)
    {
        if (model == 1)
            parms = std::make_unique<CDEFP_1_RPHOTO>(&env);
        else
            parms = std::make_unique<CDEFP_2_RPHOTO>(&env);
        driver = std::make_unique<CPrinterDriverBase>(&env, parms.get());
        page.reset(driver->m_pDevParms->GetPropertyPage(driver.get()));
        sheet.AddPage(page.get());
    }
    void Show()
    {
        std::string error;
        ASSERT_TRUE(sheet.SetActivePage(0, &error)) << error;
    }
    CComboBox* Combo(int id) const { return dynamic_cast<CComboBox*>(page->GetDlgItem(id)); }
    CButton* Button(int id) const { return dynamic_cast<CButton*>(page->GetDlgItem(id)); }
    CWnd* Item(int id) const { return page->GetDlgItem(id); }
    std::vector<std::string> Items(int id) const { return Combo(id)->Items(); }
    int Sel(int id) const { return Combo(id)->GetCurSel(); }
    std::string SelText(int id) const
    {
        CString text;
        Combo(id)->GetLBText(Combo(id)->GetCurSel(), text);
        return text.str();
    }
    bool Enabled(int id) const { return Item(id)->IsWindowEnabled() != 0; }
    bool Visible(int id) const { return Item(id)->IsWindowVisible() != 0; }
    int Checked(int id) const { return Button(id)->GetCheck(); }
    std::string Text(int id) const { return Item(id)->GetWindowText().str(); }
};

// The store after the parameter set saved itself into it (it writes to the store it was made on).
inline std::map<std::string, std::string> Saved(CUnivDevParmsBase* parms, CPrintEnv& env)
{
    parms->Save(&env);
    return env.Values();
}

}  // namespace pages_test
