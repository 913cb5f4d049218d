// CWinApp: the one application object, and the start of the program around it
// (AfxWinMain). Also the message boxes, whose caption is the application title.
#ifndef FRAMEWORK_WINAPP_H
#define FRAMEWORK_WINAPP_H

#include "framework/Wnd.h"

#ifndef ID_HELP
#define ID_HELP 0xE146
#endif

class CWinApp : public CCmdTarget {
public:
    // With no name, the title is the program file's base name without extension.
    explicit CWinApp(const char* appName = 0);
    virtual ~CWinApp();

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    virtual int Run();

    BOOL Enable3dControlsStatic();
    void OnHelp();

    CWnd* m_pMainWnd;
    const char* m_pszAppName;
    HINSTANCE m_hInstance;

    DECLARE_MESSAGE_MAP()

private:
    char m_title[MAX_PATH];
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetResourceHandle();

// InitInstance; the message loop only when it returned TRUE; then ExitInstance.
int AfxWinMain();

// A message box with no owner but the main window's and the application title
// as caption. The id form shows the string of that id.
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);
int AfxMessageBox(UINT id, UINT type = MB_OK, UINT helpId = (UINT)-1);

#endif
