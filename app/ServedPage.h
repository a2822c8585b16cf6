// One device-options page opened for the browser: its state as JSON, the user actions the browser
// reports, and OK (saving the settings file) or Cancel. Holds no HTTP; PageServer serves it.
#pragma once
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "host/PrintEnv.h"
#include "host/PrinterDriver.h"
#include "host/PropertySheet.h"

class ServedPage {
public:
    enum class Status { Open, Saved, Cancelled };

    // Takes the driver and its page; `env` is the store the driver was made on and `settingsPath`
    // the file OK writes.
    ServedPage(CPrintEnv& env, DriverPtr driver, CPrintEnvPropertyPage* page,
                const std::string& language, const std::string& settingsPath, const std::string& modelName);
    ~ServedPage();

    // Makes the page's window and activates it; throws CommandError when the template is unusable.
    void Open();
    // The dialog as the browser draws it, with the messages shown since the last call.
    nlohmann::json State();
    // A user action: {"id": N, "action": "select"|"click"|"text"|"focus"|"spin"|"listselect", ...}.
    // Answers false with a one-line message for a malformed or refused action.
    bool Act(const nlohmann::json& action, std::string* error);
    // OK: false when the page refused to be left (its message is in the next State()); a failed
    // write throws CommandError.
    bool Ok();
    void Cancel();
    Status GetStatus() const { return m_status; }

    // The model entry of the file as loaded, put back before the file is written.
    void KeepStoredUid(bool stored, const std::string& value)
    {
        m_uidStored = stored;
        m_uidValue = value;
    }

private:
    CPrintEnv& m_env;
    DriverPtr m_driver;
    std::unique_ptr<CPrintEnvPropertyPage> m_page;
    CPropertySheet m_sheet;
    std::string m_settingsPath;
    std::string m_modelName;
    Status m_status = Status::Open;
    bool m_uidStored = false;
    std::string m_uidValue;
};
