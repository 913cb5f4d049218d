// Failure messages: a catalogue text, the names it is about, and the system's
// own text for the error that was just left as the last error.
#include "app/SetupApp.h"

namespace {

// The system's text for a code, in the user's language; "" when it has none.
// The caller frees a non-null *allocated with LocalFree.
const char* SystemText(DWORD code, char** allocated) {
    *allocated = 0;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, 0, code,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(allocated), 0, 0);
    return *allocated ? *allocated : "";
}

}  // namespace

void CSetupApp::ReportError(UINT id, const char* argument, UINT style) {
    DWORD code = GetLastError();
    char* allocated;
    const char* systemText = SystemText(code, &allocated);
    char format[1024];
    char text[1024];
    format[0] = 0;
    LoadStringA(AfxGetResourceHandle(), id, format, sizeof format);
    wsprintfA(text, format, argument, systemText);
    if (allocated) LocalFree(allocated);
    AfxMessageBox(text, style, 0);
}

void CSetupApp::ReportError2(UINT id, const char* argument1, const char* argument2, UINT style) {
    DWORD code = GetLastError();
    char* allocated;
    const char* systemText = SystemText(code, &allocated);
    char format[1024];
    char text[1024];
    format[0] = 0;
    LoadStringA(AfxGetResourceHandle(), id, format, sizeof format);
    wsprintfA(text, format, argument1, argument2, systemText);
    if (allocated) LocalFree(allocated);
    AfxMessageBox(text, style, 0);
}
