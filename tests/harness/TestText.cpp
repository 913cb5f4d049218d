// Expected texts for the tests.
#include "TestText.h"

std::string Catalogue(UINT id) {
    char text[4096] = "";
    LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
    return text;
}

std::string SystemText(DWORD code) {
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text), 0, nullptr);
    std::string out = text ? text : "";
    LocalFree(text);
    return out;
}

std::string Fill(const std::string& format, const std::vector<std::string>& args) {
    std::string out;
    size_t next = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format.compare(i, 2, "%s") == 0 && next < args.size()) {
            out += args[next++];
            ++i;
        } else {
            out += format[i];
        }
    }
    return out;
}

std::wstring Utf16(const char* utf8) {
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, nullptr, 0);
    if (n <= 0) return L"<not UTF-8>";
    std::wstring text(n, L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, &text[0], n);
    text.resize(n - 1);
    return text;
}

std::string Utf8(const std::wstring& text) {
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}
