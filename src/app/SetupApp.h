// The application object: the whole installation runs in InitInstance.
#ifndef APP_SETUPAPP_H
#define APP_SETUPAPP_H

#include "framework/Afx.h"

class CSetupApp : public CWinApp {
public:
    CSetupApp();
    virtual ~CSetupApp();

    // Runs the sequence; FALSE on every path, so no message loop follows.
    virtual BOOL InitInstance();
    // Deletes the main-window placeholder and restores the error mode.
    virtual int ExitInstance();

    // A catalogue text filled with the argument(s) and the system's text for the
    // last error, in a message box. The last error must be the failure's own.
    static void ReportError(UINT id, const char* argument, UINT style);
    static void ReportError2(UINT id, const char* argument1, const char* argument2, UINT style);

    UINT savedErrorMode;

    DECLARE_MESSAGE_MAP()
};

#endif
