// CString: a heap-held, zero-terminated ANSI text with printf-style formatting
// and loading from the string table.
#ifndef FRAMEWORK_STRING_H
#define FRAMEWORK_STRING_H

#include <windows.h>

class CString {
public:
    CString();
    CString(const char* text);
    CString(const CString& other);
    ~CString();

    CString& operator=(const char* text);
    CString& operator=(const CString& other);
    CString& operator+=(const char* text);

    operator const char*() const { return m_text; }
    int GetLength() const { return m_length; }
    bool IsEmpty() const { return m_length == 0; }

    // printf-style, through wvsprintfA: at most 1024 bytes with the terminator.
    void Format(const char* format, ...);

    // Loads a string of the program's resources; FALSE (and empty) when missing.
    BOOL LoadString(UINT id);

    // Direct access for a caller that edits the text in place: at least
    // minLength characters of room; ReleaseBuffer takes the new length from the zero.
    char* GetBuffer(int minLength);
    void ReleaseBuffer();

private:
    void Assign(const char* text, int length);
    void Reserve(int capacity);

    char* m_text;
    int m_length;
    int m_capacity;   // bytes usable before the terminator; 0 for the shared empty text
};

#endif
