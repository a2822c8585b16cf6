// Who may drive the options-page server: only the browser page opened from the address that
// `rphoto pages` prints. That address carries a secret drawn for this launch; the page sends it
// back with every API call. Requests must name the loopback address and port as their Host (so a
// name rebound to 127.0.0.1 gets nothing), come from the page's own origin when they name one,
// and send JSON (which a foreign page cannot post without the server's consent).
#pragma once
#include <httplib.h>

#include <string>

class PageAccess {
public:
    static constexpr const char* kSecretHeader = "X-RPhoto-Secret";

    // Draws the secret; throws CommandError when the system gives no random bytes.
    explicit PageAccess(int port);

    // http://127.0.0.1:PORT/#secret=SECRET (the fragment never leaves the browser).
    std::string Url() const;
    // 0 when `req` may be served, else the HTTP status to refuse it with and why.
    int Refusal(const httplib::Request& req, std::string* why) const;

private:
    std::string m_host;    // 127.0.0.1:PORT
    std::string m_origin;  // http://127.0.0.1:PORT
    std::string m_secret;  // 64 hex digits
};

// Equal texts, compared in a time that does not depend on where they differ.
bool SameSecret(const std::string& a, const std::string& b);
