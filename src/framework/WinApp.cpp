// The application object and the program's run around it.
#include "framework/WinApp.h"
#include "framework/String.h"

namespace {
CWinApp* g_app = 0;
}

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

CWinApp::CWinApp(const char* appName) : m_pMainWnd(0), m_pszAppName(appName), m_hInstance(0) {
    g_app = this;
    m_hInstance = GetModuleHandleA(0);
    m_title[0] = 0;
    if (!m_pszAppName) {
        char path[MAX_PATH];
        DWORD n = GetModuleFileNameA(0, path, MAX_PATH);
        if (n >= MAX_PATH) n = MAX_PATH - 1;
        path[n] = 0;
        const char* base = path;
        for (const char* p = path; *p; ++p)
            if (*p == '\\' || *p == '/' || *p == ':') base = p + 1;
        int length = 0;
        while (base[length] && length < MAX_PATH - 1) {
            m_title[length] = base[length];
            ++length;
        }
        m_title[length] = 0;
        for (int i = length - 1; i > 0; --i)
            if (m_title[i] == '.') { m_title[i] = 0; break; }
        m_pszAppName = m_title;
    }
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = 0;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

int CWinApp::Run() {
    MSG msg;
    while (GetMessageA(&msg, 0, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return ExitInstance();
}

// Three-dimensional controls are the system's own on every version this
// program runs on; kept so that start-up reads as it always has.
BOOL CWinApp::Enable3dControlsStatic() { return TRUE; }

// The program ships no help file of its own.
void CWinApp::OnHelp() {}

CWinApp* AfxGetApp() { return g_app; }

HINSTANCE AfxGetResourceHandle() { return g_app ? g_app->m_hInstance : GetModuleHandleA(0); }

int AfxWinMain() {
    CWinApp* app = AfxGetApp();
    if (!app) return -1;
    if (app->InitInstance()) return app->Run();
    return app->ExitInstance();
}

int AfxMessageBox(const char* text, UINT type, UINT) {
    CWinApp* app = AfxGetApp();
    return MessageBoxA(CWnd::GetSafeOwner(0), text, app ? app->m_pszAppName : "", type);
}

int AfxMessageBox(UINT id, UINT type, UINT) {
    CString text;
    text.LoadString(id);
    return AfxMessageBox(text, type, id);
}
