#include "app/PageServer.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>

#include "app/BoundedHttpServer.h"
#include "app/Commands.h"
#include "app/PageAccess.h"
#include "app/ServedPage.h"
#include "host/DialogTemplate.h"

using nlohmann::json;

namespace {
struct StaticFile {
    const char* route;
    const char* file;
    const char* type;
};
const StaticFile kFiles[] = {
    {"/", "index.html", "text/html; charset=utf-8"},
    {"/page.js", "page.js", "text/javascript; charset=utf-8"},
    {"/page.css", "page.css", "text/css; charset=utf-8"},
    {"/sheet.json", "sheet.json", "application/json; charset=utf-8"},
};

bool ReadFile(const std::string& path, std::string* out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::stringstream text;
    text << in.rdbuf();
    *out = text.str();
    return true;
}

void SendJson(httplib::Response& res, const json& body, int status = 200)
{
    res.status = status;
    res.set_content(body.dump(), "application/json; charset=utf-8");
}
}  // namespace

void RunPageServer(ServedPage& served, int port, const std::function<void(const std::string&)>& listening)
{
    BoundedHttpServer server;
    std::mutex lock;  // the page runs one action at a time, as on the platform's UI thread
    const std::string webDir = ResourceDirectory() + "/web/";

    for (const StaticFile& f : kFiles) {
        server.Get(f.route, [f, webDir](const httplib::Request&, httplib::Response& res) {
            std::string body;
            if (!ReadFile(webDir + f.file, &body)) {
                res.status = 500;
                res.set_content(webDir + f.file + ": cannot be read", "text/plain");
                return;
            }
            res.set_header("Cache-Control", "no-store");
            res.set_content(body, f.type);
        });
    }
    server.Get("/api/state", [&](const httplib::Request&, httplib::Response& res) {
        std::lock_guard<std::mutex> g(lock);
        SendJson(res, served.State());
    });
    server.Post("/api/event", [&](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard<std::mutex> g(lock);
        const json action = json::parse(req.body, nullptr, false);
        std::string error;
        if (action.is_discarded()) {
            SendJson(res, {{"error", "request body is not JSON"}}, 400);
        } else if (!served.Act(action, &error)) {
            json state = served.State();
            state["error"] = error;
            SendJson(res, state, 409);
        } else {
            SendJson(res, served.State());
        }
    });
    server.Post("/api/ok", [&](const httplib::Request&, httplib::Response& res) {
        std::lock_guard<std::mutex> g(lock);
        try {
            served.Ok();
            SendJson(res, served.State());
        } catch (const CommandError& e) {
            json state = served.State();
            state["error"] = e.message;
            SendJson(res, state, 500);
        }
    });
    server.Post("/api/cancel", [&](const httplib::Request&, httplib::Response& res) {
        std::lock_guard<std::mutex> g(lock);
        served.Cancel();
        SendJson(res, served.State());
    });
    // Quitting waits a moment so the answer still reaches the caller.
    std::thread stopper;
    server.Post("/api/quit", [&](const httplib::Request&, httplib::Response& res) {
        SendJson(res, {{"quit", true}});
        std::lock_guard<std::mutex> g(lock);
        if (!stopper.joinable())
            stopper = std::thread([&server] {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                server.stop();
            });
    });

    const int bound = port == 0 ? server.bind_to_any_port("127.0.0.1") : (server.bind_to_port("127.0.0.1", port) ? port : -1);
    if (bound <= 0) throw CommandError{"cannot listen on 127.0.0.1:" + std::to_string(port)};
    const PageAccess access(bound);
    server.set_pre_routing_handler([&access](const httplib::Request& req, httplib::Response& res) {
        std::string why;
        int status = access.Refusal(req, &why);
        // A body over the limit is refused at once, not read and dropped until the deadline.
        if (status == 0 && std::strtoull(req.get_header_value("Content-Length").c_str(), nullptr, 10) >
                               BoundedHttpServer::kMaxBodyBytes) {
            status = 413;
            why = "the body is larger than " + std::to_string(BoundedHttpServer::kMaxBodyBytes) + " bytes";
        }
        if (status == 0) return httplib::Server::HandlerResponse::Unhandled;
        SendJson(res, {{"error", why}}, status);
        return httplib::Server::HandlerResponse::Handled;
    });
    server.set_default_headers({{"X-Frame-Options", "DENY"}, {"X-Content-Type-Options", "nosniff"}});
    listening(access.Url());
    server.listen_after_bind();
    if (stopper.joinable()) stopper.join();
}
