// Serves one device-options page to a browser on the loopback interface: the page's files from
// the resource folder and a JSON API through which every user action reaches the page object.
#pragma once
#include <functional>
#include <string>

class ServedPage;

// Binds 127.0.0.1:`port` (0: any free port), calls `listening` with the page's address (which
// carries this launch's secret, see PageAccess.h), and serves until a POST to /api/quit. Throws
// CommandError when the port cannot be bound.
void RunPageServer(ServedPage& page, int port, const std::function<void(const std::string& url)>& listening);
