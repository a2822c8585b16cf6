// The framework's byte string (holds zero bytes), string list and splitter.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "host/Os.h"

class CString {
public:
    CString() = default;
    CString(const char* s) : m_s(s ? s : "") {}
    CString(const char* p, int n) : m_s(p, p + (n > 0 ? n : 0)) {}
    CString(const std::string& s) : m_s(s) {}

    int GetLength() const { return static_cast<int>(m_s.size()); }
    bool IsEmpty() const { return m_s.empty(); }
    void Empty() { m_s.clear(); }
    const char* GetString() const { return m_s.c_str(); }
    operator const char*() const { return m_s.c_str(); }
    const std::string& str() const { return m_s; }
    const unsigned char* bytes() const { return reinterpret_cast<const unsigned char*>(m_s.data()); }
    char GetAt(int i) const { return m_s[static_cast<size_t>(i)]; }

    CString& operator=(const char* s) { m_s = s ? s : ""; return *this; }
    CString& operator+=(const CString& o) { m_s += o.m_s; return *this; }
    CString& operator+=(const char* s) { if (s) m_s += s; return *this; }
    CString& operator+=(char c) { m_s += c; return *this; }
    void Append(const void* p, int n) { m_s.append(static_cast<const char*>(p), static_cast<size_t>(n)); }

    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_s + b.m_s); }
    friend CString operator+(const CString& a, const char* b) { return CString(a.m_s + (b ? b : "")); }
    friend CString operator+(const char* a, const CString& b) { return CString((a ? a : "") + b.m_s); }
    friend bool operator==(const CString& a, const CString& b) { return a.m_s == b.m_s; }
    friend bool operator==(const CString& a, const char* b) { return a.m_s == (b ? b : ""); }

    // Replaces every occurrence of `from` with `to`; returns the number replaced.
    int Replace(const char* from, const char* to);
    int Find(const char* sub, int start = 0) const;
    CString Mid(int first, int count = -1) const;
    CString Left(int count) const { return Mid(0, count); }
    // printf-style formatting into this string.
    void Format(const char* fmt, ...) RPHOTO_PRINTF_FORMAT(2, 3);

private:
    std::string m_s;
};

class CStringList {
public:
    explicit CStringList(int nBlockSize = 10) { (void)nBlockSize; }
    void AddTail(const CString& s) { m_items.push_back(s); }
    int GetCount() const { return static_cast<int>(m_items.size()); }
    bool IsEmpty() const { return m_items.empty(); }
    void RemoveAll() { m_items.clear(); }
    // Zero-based index access (the framework's FindIndex + GetAt in one).
    const CString& GetAt(int index) const { return m_items.at(static_cast<size_t>(index)); }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::vector<CString> m_items;
};

// Splits `s` at every character of `separators` into `list`, in order. With bKeepEmpty
// nonzero, empty fields between adjacent separators are kept, so field numbers stay put.
// An empty `s` gives no field.
void Split(const CString& s, const CString& separators, CStringList* list, int bKeepEmpty);
