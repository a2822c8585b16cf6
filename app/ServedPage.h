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

    // Takes the driver and its page; `env` is the store the driver was made on (the device
    // parameters save into it) and `settingsPath` the file OK writes.
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
    // OK: false when the page refused to be left (its message is in the next State()). Writes to
    // the settings file only the options the page changed, over what the file holds by then; a
    // refused value or a failed write throws CommandError.
    bool Ok();
    void Cancel();
    Status GetStatus() const { return m_status; }

private:
    CPrintEnv& m_env;
    DriverPtr m_driver;
    std::unique_ptr<CPrintEnvPropertyPage> m_page;
    CPropertySheet m_sheet;
    std::string m_settingsPath;
    std::string m_modelName;
    Status m_status = Status::Open;
    CPrintEnv m_opened;  // the store with what the device parameters save as the page opens
};
