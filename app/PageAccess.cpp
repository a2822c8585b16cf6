#include "app/PageAccess.h"

#include <strings.h>
#include <sys/random.h>

#include <cerrno>
#include <cstring>

#include "app/Commands.h"

namespace {
constexpr size_t kSecretBytes = 32;

// The media type of a Content-Type value: before any ';', blanks trimmed.
std::string MediaType(const std::string& contentType)
{
    std::string t = contentType.substr(0, contentType.find(';'));
    const size_t first = t.find_first_not_of(" \t");
    const size_t last = t.find_last_not_of(" \t");
    return first == std::string::npos ? std::string() : t.substr(first, last - first + 1);
}
}  // namespace

PageAccess::PageAccess(int port)
    : m_host("127.0.0.1:" + std::to_string(port)), m_origin("http://" + m_host)
{
    unsigned char bytes[kSecretBytes];
    if (::getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes))
        throw CommandError{std::string("no random bytes for the page's secret: ") + std::strerror(errno)};
    static const char kHex[] = "0123456789abcdef";
    for (unsigned char b : bytes) {
        m_secret += kHex[b >> 4];
        m_secret += kHex[b & 15];
    }
}

std::string PageAccess::Url() const { return m_origin + "/#secret=" + m_secret; }

int PageAccess::Refusal(const httplib::Request& req, std::string* why) const
{
    if (req.get_header_value("Host") != m_host) {
        *why = "Host must be " + m_host;
        return 403;
    }
    if (req.has_header("Origin") && req.get_header_value("Origin") != m_origin) {
        *why = "requests from other origins are refused";
        return 403;
    }
    if (req.path.rfind("/api/", 0) == 0 && !SameSecret(req.get_header_value(kSecretHeader), m_secret)) {
        *why = "missing or wrong " + std::string(kSecretHeader) + " (open the address rphoto pages printed)";
        return 403;
    }
    if (req.method != "GET" && req.method != "HEAD" &&
        ::strcasecmp(MediaType(req.get_header_value("Content-Type")).c_str(), "application/json") != 0) {
        *why = "the body must be application/json";
        return 415;
    }
    return 0;
}

bool SameSecret(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;  // the length is no secret
    volatile unsigned char diff = 0;
    for (size_t i = 0; i < a.size(); ++i) diff = diff | static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}
