// Texts the tests expect: catalogue strings, the system's error texts, and a
// template filled the way the program fills it.
#ifndef SETUP_TEST_TEXT_H
#define SETUP_TEST_TEXT_H

#include <windows.h>

#include <string>
#include <vector>

std::string Catalogue(UINT id);
std::string SystemText(DWORD code);
// Each "%s" of the template takes the next argument, as wsprintf does.
std::string Fill(const std::string& format, const std::vector<std::string>& args);

// UTF-8 (as the test sources hold texts) to UTF-16 and back.
std::wstring Utf16(const char* utf8);
std::string Utf8(const std::wstring& text);

#endif
