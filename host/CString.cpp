#include "host/CString.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

int CString::Replace(const char* from, const char* to)
{
    const size_t fromLen = std::strlen(from);
    if (fromLen == 0) return 0;
    const std::string repl = to ? to : "";
    int count = 0;
    size_t pos = 0;
    while ((pos = m_s.find(from, pos, fromLen)) != std::string::npos) {
        m_s.replace(pos, fromLen, repl);
        pos += repl.size();
        ++count;
    }
    return count;
}

int CString::Find(const char* sub, int start) const
{
    if (start < 0 || static_cast<size_t>(start) > m_s.size()) return -1;
    const size_t pos = m_s.find(sub, static_cast<size_t>(start));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

CString CString::Mid(int first, int count) const
{
    if (first < 0) first = 0;
    if (static_cast<size_t>(first) >= m_s.size()) return CString();
    const size_t n = count < 0 ? std::string::npos : static_cast<size_t>(count);
    return CString(m_s.substr(static_cast<size_t>(first), n));
}

void CString::Format(const char* fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    va_list ap2;
    va_copy(ap2, ap);
    const int n = std::vsnprintf(nullptr, 0, fmt, ap);
    va_end(ap);
    std::string out(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0) std::vsnprintf(out.data(), out.size() + 1, fmt, ap2);
    va_end(ap2);
    m_s = std::move(out);
}

void Split(const CString& s, const CString& separators, CStringList* list, int bKeepEmpty)
{
    if (!list || s.IsEmpty()) return;
    const std::string& text = s.str();
    const std::string& seps = separators.str();
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || seps.find(text[i]) != std::string::npos) {
            if (i > start || bKeepEmpty) list->AddTail(CString(text.substr(start, i - start)));
            start = i + 1;
        }
    }
}
