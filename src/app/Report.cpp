// Failure messages: a catalogue text, the names it is about, and the system's
// own text for the error that was just left as the last error.
#include "app/SetupApp.h"

namespace {

// Fills the catalogue text `id` with one or two names (second may be null) and
// the system's text for `code`, in the user's language ("" when it has none),
// and shows it. The arguments are inserted, never read as templates.
void Show(DWORD code, UINT id, const char* first, const char* second, UINT style) {
    char* systemText = 0;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, 0, code,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&systemText), 0, 0);
    const char* system = systemText ? systemText : "";
    char format[1024];
    char text[1024];
    format[0] = 0;
    LoadStringA(AfxGetResourceHandle(), id, format, sizeof format);
    if (second) wsprintfA(text, format, first, second, system);
    else wsprintfA(text, format, first, system);
    if (systemText) LocalFree(systemText);
    AfxMessageBox(text, style, 0);
}

}  // namespace

void CSetupApp::ReportError(UINT id, const char* argument, UINT style) {
    DWORD code = GetLastError();   // before any other call can change it
    Show(code, id, argument, 0, style);
}

void CSetupApp::ReportError2(UINT id, const char* argument1, const char* argument2, UINT style) {
    DWORD code = GetLastError();
    Show(code, id, argument1, argument2, style);
}
