// FinishSetup: how the run ends. A pending restart (a library swap, a changed
// Autoexec.bat) is offered in the restart dialog, or announced when the user
// may not shut down; an extended NT Path brings a logoff; otherwise the run
// ends with the final message. On NT the shutdown privilege is enabled first,
// which ExitWindowsEx needs for a restart, and its presence decides.
#include "app/SetupContext.h"
#include "register/RestartDlg.h"
#include "res/resource.h"

namespace {

// TOKEN_ALL_ACCESS as Windows NT 4 knows it; later headers add a right that
// NT 4 would refuse.
const DWORD kTokenAllAccessNT4 = 0xF00FF;

// Enables SeShutdownPrivilege in the process token and asks whether the user
// holds it. No step is checked: when the token can't be opened, the verdict
// stays true and a restart that Windows refuses simply does not happen.
void EnableShutdownPrivilege(SetupContext& context) {
    HANDLE token = 0;
    OpenProcessToken(GetCurrentProcess(), kTokenAllAccessNT4, &token);

    LUID luid = {0, 0};
    LookupPrivilegeValueA("", "SeShutdownPrivilege", &luid);

    TOKEN_PRIVILEGES enable;
    enable.PrivilegeCount = 1;
    enable.Privileges[0].Luid = luid;
    enable.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    TOKEN_PRIVILEGES previous;
    DWORD returned = 0;
    AdjustTokenPrivileges(token, FALSE, &enable, sizeof previous, &previous, &returned);

    PRIVILEGE_SET required;
    required.PrivilegeCount = 1;
    required.Control = PRIVILEGE_SET_ALL_NECESSARY;
    required.Privilege[0].Luid = luid;
    required.Privilege[0].Attributes = SE_PRIVILEGE_ENABLED;
    BOOL allowed = context.shutdownAllowed;
    PrivilegeCheck(token, &required, &allowed);
    context.shutdownAllowed = allowed != FALSE;

    if (token) CloseHandle(token);
}

// Windows restarts only on an explicit OK with "restart now" checked: Escape
// and the close box leave the choice unread, and must not restart.
void OfferRestart() {
    CRestartDlg dialog;
    if (dialog.DoModal() == IDOK && dialog.m_restartChoice == 0) ExitWindowsEx(EWX_REBOOT, 0);
}

}  // namespace

bool FinishSetup(SetupContext& context) {
    context.shutdownAllowed = true;
    if (context.isNT) EnableShutdownPrivilege(context);

    if (context.rebootNeeded) {
        if (context.shutdownAllowed) OfferRestart();
        else AfxMessageBox(IDS_RESTART_NEEDED, MB_ICONINFORMATION);
    } else if (context.pathChanged) {
        // The logoff starts once the user has read why.
        AfxMessageBox(IDS_LOGOFF, MB_ICONINFORMATION);
        ExitWindowsEx(EWX_LOGOFF, 0);
    } else {
        AfxMessageBox(IDS_DONE, MB_ICONINFORMATION);
    }
    return true;
}
