#include "printer-app/OptionsWeb.h"

#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>

#include <nlohmann/json.hpp>

#include "app/Commands.h"
#include "app/ModuleLoader.h"
#include "app/ServedPage.h"
#include "host/DevParms.h"
#include "host/DialogTemplate.h"
#include "printer-app/PagePrinter.h"
#include "printer-app/PrinterSettings.h"

using nlohmann::json;

namespace printerapp {
namespace {

// The page open for a printer: one at a time, as on the printer's own panel.
struct Session {
    std::mutex lock;
    CPrintEnv env;
    std::unique_ptr<ServedPage> page;
};

struct PrinterPage {
    pappl_printer_t* printer;
    std::string base;  // "/<printer>/rphoto/"
    Session session;
};

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The first language of the browser's Accept-Language that the dialogs come in.
std::string ClientLanguage(pappl_client_t* client)
{
    const char* accept = httpGetField(papplClientGetHTTP(client), HTTP_FIELD_ACCEPT_LANGUAGE);
    std::stringstream in(accept ? accept : "");
    std::string item;
    while (std::getline(in, item, ',')) {
        std::string tag = item.substr(0, item.find(';'));
        tag.erase(0, tag.find_first_not_of(' '));
        for (const std::string& l : DialogLanguages())
            if (tag.compare(0, l.size(), l) == 0) return l;
    }
    return "en";
}

bool Respond(pappl_client_t* client, http_status_t status, const std::string& body, const char* type)
{
    if (!papplClientRespond(client, status, nullptr, type, 0, body.size())) return false;
    return httpWrite2(papplClientGetHTTP(client), body.data(), body.size()) == static_cast<ssize_t>(body.size());
}

bool RespondJson(pappl_client_t* client, const json& body, http_status_t status = HTTP_STATUS_OK)
{
    return Respond(client, status, body.dump(), "application/json; charset=utf-8");
}

// The printer's defaults of the options a job carries (media type, vendor options) into the
// store, so that the page shows what jobs print with.
void PutPrinterDefaults(pappl_printer_t* printer, const ModelInfo& model, CPrintEnv& env)
{
    pappl_pr_driver_data_t data;
    papplPrinterGetDriverData(printer, &data);
    JobChoices defaults;
    defaults.resX = data.x_default;
    defaults.resY = data.y_default;
    defaults.mediaType = data.media_default.type;
    defaults.mediaSource = data.media_default.source;
    ipp_t* attrs = papplPrinterGetDriverAttributes(printer);
    for (const VendorOption& option : model.vendor) {
        char value[256];
        const std::string name = std::string(option.name) + "-default";
        if (ipp_attribute_t* a = ippFindAttribute(attrs, name.c_str(), IPP_TAG_ZERO)) {
            ippAttributeString(a, value, sizeof value);
            defaults.vendor.emplace_back(option.name, value);
        }
    }
    ippDelete(attrs);
    ApplyJobChoices(model, defaults, env);
}

// After a save: the printer's media-type and vendor defaults follow the saved device options.
void TakeDefaultsFrom(pappl_printer_t* printer, const ModelInfo& model, const CPrintEnv& env)
{
    pappl_pr_driver_data_t data;
    papplPrinterGetDriverData(printer, &data);
    if (const char* type = StoredMediaType(model, env))
        std::snprintf(data.media_default.type, sizeof data.media_default.type, "%s", type);
    int count = 0;
    cups_option_t* vendor = nullptr;
    for (const VendorOption& option : model.vendor) {
        const std::string key = std::string(model.prefix) + option.key;
        if (!*option.key || !env.Has(key.c_str())) continue;
        for (const VendorValue& v : option.values)
            if (env.GetInt(key.c_str(), -1) == v.stored) count = cupsAddOption(option.name, v.keyword, count, &vendor);
    }
    papplPrinterSetDriverDefaults(printer, &data, count, vendor);
    cupsFreeOptions(count, vendor);
}

// Opens a fresh page on the printer's stored settings; false with a message.
bool OpenPage(PrinterPage& p, const std::string& language, std::string* error)
{
    const ModelInfo* model = PrinterModel(p.printer);
    const DriverModule* module = LoadedDriverModule();
    Session& s = p.session;
    s.page.reset();
    s.env.Clear();
    if (!model || !module) {
        *error = "the printer has no rphoto model";
        return false;
    }
    if (!LoadPrinterSettings(p.printer, s.env, error)) return false;
    PutPrinterDefaults(p.printer, *model, s.env);
    DriverPtr driver(module->Create(&s.env));
    CPrinterDriverBase* base = AsDriverBase(driver.get());
    CPrintEnvPropertyPage* page = base && base->m_pDevParms ? base->m_pDevParms->GetPropertyPage(base) : nullptr;
    if (!page) {
        *error = "the driver offers no device-options page";
        return false;
    }
    page->SetHostPrintMethod(s.env.GetString(PrEnv_PrintMethod));
    try {
        s.page = std::make_unique<ServedPage>(s.env, std::move(driver), page, language, PrinterSettingsPath(p.printer),
                                              model->driverName);
        s.page->Open();
    } catch (const CommandError& e) {
        s.page.reset();
        *error = e.message;
        return false;
    }
    return true;
}

// The page itself: the printer's header, the dialog's markup from the resource folder, the form token.
bool ServeHtml(pappl_client_t* client, PrinterPage& p)
{
    std::string error;
    {
        std::lock_guard<std::mutex> g(p.session.lock);
        if (!OpenPage(p, ClientLanguage(client), &error)) return Respond(client, HTTP_STATUS_SERVER_ERROR, error, "text/plain");
    }
    const std::string index = ReadFile(ResourceDirectory() + "/web/index.html");
    const size_t open = index.find("<body>"), close = index.find("</body>");
    if (open == std::string::npos || close == std::string::npos)
        return Respond(client, HTTP_STATUS_SERVER_ERROR, "web/index.html: no <body>", "text/plain");
    char token[256];
    papplClientGetCSRFToken(client, token, sizeof token);
    // The printer header sends the response line itself.
    papplClientHTMLPrinterHeader(client, p.printer, "Device Options", 0, nullptr, nullptr);
    papplClientHTMLPrintf(client, "<link rel=\"stylesheet\" href=\"page.css\">\n<div class=\"rphoto-options\" data-session=\"%s\">\n", token);
    papplClientHTMLPuts(client, index.substr(open + 6, close - open - 6).c_str());
    papplClientHTMLPuts(client, "</div>\n");
    papplClientHTMLPrinterFooter(client);
    return true;
}

bool ServeApi(pappl_client_t* client, PrinterPage& p, const std::string& call)
{
    Session& s = p.session;
    if (papplClientGetMethod(client) != HTTP_STATE_POST) {
        std::lock_guard<std::mutex> g(s.lock);
        if (call != "state" || !s.page) return RespondJson(client, {{"error", "no page is open"}}, HTTP_STATUS_NOT_FOUND);
        return RespondJson(client, s.page->State());
    }
    cups_option_t* form = nullptr;
    const int count = papplClientGetForm(client, &form);
    const bool valid = papplClientIsValidForm(client, count, form);
    const char* bodyText = cupsGetOption("body", count, form);
    const json body = json::parse(bodyText ? bodyText : "{}", nullptr, false);
    cupsFreeOptions(count, form);
    // A form without this session's token comes from another site.
    if (!valid) return RespondJson(client, {{"error", "invalid form submission"}}, HTTP_STATUS_FORBIDDEN);

    std::lock_guard<std::mutex> g(s.lock);
    if (!s.page) return RespondJson(client, {{"error", "no page is open"}}, HTTP_STATUS_NOT_FOUND);
    std::string error;
    http_status_t status = HTTP_STATUS_OK;
    if (call == "event") {
        if (body.is_discarded() || !s.page->Act(body, &error)) status = HTTP_STATUS_CONFLICT;
    } else if (call == "ok") {
        try {
            if (s.page->Ok()) TakeDefaultsFrom(p.printer, *PrinterModel(p.printer), s.env);
        } catch (const CommandError& e) {
            error = e.message;
            status = HTTP_STATUS_SERVER_ERROR;
        }
    } else if (call == "cancel") {
        s.page->Cancel();
    } else {
        return RespondJson(client, {{"error", "unknown call"}}, HTTP_STATUS_NOT_FOUND);
    }
    json state = s.page->State();
    if (!error.empty()) state["error"] = error;
    return RespondJson(client, state, status);
}

bool Serve(pappl_client_t* client, void* data)
{
    PrinterPage& p = *static_cast<PrinterPage*>(data);
    if (!papplClientHTMLAuthorize(client)) return true;
    const std::string uri = papplClientGetURI(client);
    const std::string rest = uri.substr(std::min(uri.size(), p.base.size()));
    if (rest == "options") return ServeHtml(client, p);
    return ServeApi(client, p, rest.substr(rest.find('/') + 1));
}

struct StaticFile {
    const char* name;
    const char* type;
};
const StaticFile kFiles[] = {{"page.js", "text/javascript"}, {"page.css", "text/css"}, {"sheet.json", "application/json"}};
const char* const kApiCalls[] = {"api/state", "api/event", "api/ok", "api/cancel"};
}  // namespace

void AddOptionsPage(pappl_printer_t* printer)
{
    // Kept for the life of the application, as PAPPL keeps the resources that point at it.
    static std::map<int, std::unique_ptr<PrinterPage>> pages;
    auto& p = pages[papplPrinterGetID(printer)];
    p = std::make_unique<PrinterPage>();
    p->printer = printer;
    // Under the printer's own web path, so that PAPPL drops the resources with the printer.
    char base[256];
    p->base = papplPrinterGetPath(printer, "rphoto/", base, sizeof base);
    pappl_system_t* system = papplPrinterGetSystem(printer);
    const std::string web = ResourceDirectory() + "/web/";
    for (const StaticFile& f : kFiles)
        papplSystemAddResourceFile(system, (p->base + f.name).c_str(), f.type, (web + f.name).c_str());
    papplSystemAddResourceCallback(system, (p->base + "options").c_str(), "text/html", Serve, p.get());
    for (const char* call : kApiCalls)
        papplSystemAddResourceCallback(system, (p->base + call).c_str(), "application/json", Serve, p.get());
    papplPrinterAddLink(printer, "Device Options", (p->base + "options").c_str(),
                        static_cast<pappl_loptions_t>(PAPPL_LOPTIONS_PRINTER | PAPPL_LOPTIONS_NAVIGATION));
}

}  // namespace printerapp
