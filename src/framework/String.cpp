// CString over the process heap.
#include "framework/String.h"
#include "framework/WinApp.h"

namespace {
char g_empty[1] = { 0 };
}

CString::CString() : m_text(g_empty), m_length(0), m_capacity(0) {}

CString::CString(const char* text) : m_text(g_empty), m_length(0), m_capacity(0) {
    if (text) Assign(text, lstrlenA(text));
}

CString::CString(const CString& other) : m_text(g_empty), m_length(0), m_capacity(0) {
    Assign(other.m_text, other.m_length);
}

CString::~CString() {
    if (m_capacity) delete[] m_text;
}

CString& CString::operator=(const char* text) {
    if (text != m_text) Assign(text ? text : "", text ? lstrlenA(text) : 0);
    return *this;
}

CString& CString::operator=(const CString& other) {
    if (&other != this) Assign(other.m_text, other.m_length);
    return *this;
}

CString& CString::operator+=(const char* text) {
    int extra = lstrlenA(text);
    Reserve(m_length + extra);
    CopyMemory(m_text + m_length, text, extra + 1);
    m_length += extra;
    return *this;
}

void CString::Reserve(int capacity) {
    if (capacity <= m_capacity && m_capacity) return;
    char* grown = new char[capacity + 1];
    CopyMemory(grown, m_text, m_length + 1);
    if (m_capacity) delete[] m_text;
    m_text = grown;
    m_capacity = capacity;
}

void CString::Assign(const char* text, int length) {
    if (length == 0) {
        m_length = 0;
        m_text[0] = 0;
        return;
    }
    if (length > m_capacity) {
        if (m_capacity) delete[] m_text;
        m_text = new char[length + 1];
        m_capacity = length;
    }
    CopyMemory(m_text, text, length);
    m_text[length] = 0;
    m_length = length;
}

void CString::Format(const char* format, ...) {
    char buffer[1024];
    va_list args;
    va_start(args, format);
    int n = wvsprintfA(buffer, format, args);
    va_end(args);
    if (n < 0) n = 0;
    buffer[sizeof buffer - 1] = 0;
    Assign(buffer, lstrlenA(buffer));
}

BOOL CString::LoadString(UINT id) {
    // LoadStringA returns size - 1 when the text was cut: grow until it fits.
    for (int size = 256; size <= 65536; size *= 2) {
        char* buffer = new char[size];
        int n = ::LoadStringA(AfxGetResourceHandle(), id, buffer, size);
        if (n < size - 1) {
            Assign(buffer, n);
            delete[] buffer;
            return n > 0;
        }
        delete[] buffer;
    }
    Assign("", 0);
    return FALSE;
}

char* CString::GetBuffer(int minLength) {
    Reserve(minLength > m_length ? minLength : m_length);
    return m_text;
}

void CString::ReleaseBuffer() {
    m_length = m_capacity ? lstrlenA(m_text) : 0;
}
