// The install sequence: start-up, the destination, the progress window, and the
// eight phases in their fixed order. The first phase that fails ends the run;
// nothing done before it is undone.
#include "app/SetupApp.h"

#include "app/Manifest.h"
#include "app/SetupContext.h"
#include "res/resource.h"
#include "support/Files.h"
#include "support/Path.h"
#include "support/Registry.h"
#include "support/SystemDlls.h"
#include "ui/DestinationDlg.h"
#include "ui/ProgressDlg.h"

BEGIN_MESSAGE_MAP(CSetupApp, CWinApp)
    ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

CSetupApp::CSetupApp() : CWinApp(0), savedErrorMode(0) {}

CSetupApp::~CSetupApp() {}

namespace {

// The proposed destination: the Program Files folder and the product name, or,
// when the system does not say where Program Files is, that folder on the drive
// of the Windows directory.
void DefaultDestination(const SetupContext& context, char* destination) {
    char programFiles[MAX_PATH];
    if (RegReadValue(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
                     REG_SZ, reinterpret_cast<BYTE*>(programFiles), sizeof programFiles) != 0) {
        programFiles[0] = context.windowsDir[0] ? context.windowsDir[0] : 'C';
        programFiles[1] = 0;
        AppendPath(programFiles, ":\\Program Files");
    }
    JoinPath(destination, programFiles, context.productName);
}

// A product file whose joined path would be cut would be copied under a wrong
// name, so such a destination is refused before anything is made.
bool DestinationFits(const char* installDir) {
    for (const char* name = FirstFile(kProductFiles); name; name = NextFile(name))
        if (PathWouldBeCut(installDir, name)) return false;
    return true;
}

bool CreateDestination(const char* installDir) {
    char path[MAX_PATH];
    CopyPath(path, installDir);
    if (!DestinationFits(path)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    if (CreateDirectoryTree(path) != 0) return false;
    return CreateDirectoryA(path, 0) || GetLastError() == ERROR_ALREADY_EXISTS;
}

void RunPhases(SetupContext& context) {
    if (!UpdateSystemLibraries(context)) return;
    if (!CopyProductFiles(context)) return;
    if (!InstallUninstaller(context)) return;
    delete context.progress;
    context.progress = 0;
    if (!CreateProgramGroup(context)) return;
    if (!RegisterApplication(context)) return;
    if (!RegisterTextTypes(context)) return;
    if (!AddToSearchPath(context)) return;
    FinishSetup(context);
}

}  // namespace

BOOL CSetupApp::InitInstance() {
    RestrictDllSearch();
    Enable3dControlsStatic();

    OSVERSIONINFOA version;
    ZeroMemory(&version, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    if (version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion < 4) {
        AfxMessageBox(IDS_NEED_WINDOWS, MB_ICONSTOP);
        return FALSE;
    }

    SetupContext context;
    InitSetupContext(context);
    context.isNT = version.dwPlatformId == VER_PLATFORM_WIN32_NT;
    savedErrorMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);

    context.productNameLength = LoadStringA(m_hInstance, IDS_PRODUCT_NAME, context.productName,
                                            sizeof context.productName);
    DWORD n = GetModuleFileNameA(m_hInstance, context.sourceDir, MAX_PATH);
    context.sourceDir[n < MAX_PATH ? n : MAX_PATH - 1] = 0;
    for (int i = lstrlenA(context.sourceDir) - 1; i >= 0; --i)
        if (context.sourceDir[i] == '\\') { context.sourceDir[i] = 0; break; }
    GetWindowsDirectoryA(context.windowsDir, MAX_PATH);
    GetSystemDirectoryA(context.systemDir, MAX_PATH);
    LoadSystemDlls(context.systemDir);

    m_pMainWnd = new CEditView;

    char destination[MAX_PATH];
    DefaultDestination(context, destination);

    CDestinationDlg dialog;
    CString welcome;
    welcome.LoadString(IDS_WELCOME);
    dialog.m_message.Format(welcome, context.productName, context.productName);
    dialog.m_directory = destination;
    if (dialog.DoModal() == IDCANCEL) return FALSE;

    CopyPath(context.installDir, dialog.m_directory);
    if (!CreateDestination(context.installDir)) {
        ReportError(IDS_CREATE_DIRECTORY, context.installDir, MB_ICONSTOP);
        return FALSE;
    }

    context.progress = new CProgressDlg;
    if (context.progress) context.progress->Create();
    context.fileTotal = CountFiles(kSystemLibraries) + CountFiles(kProductFiles);
    if (context.progress) context.progress->SetRange(0, 100);
    context.rebootNeeded = false;
    context.renameJournal = INVALID_HANDLE_VALUE;
    context.fileIndex = 0;

    RunPhases(context);
    return FALSE;
}

int CSetupApp::ExitInstance() {
    if (m_pMainWnd) {
        delete m_pMainWnd;
        m_pMainWnd = 0;
    }
    SetErrorMode(savedErrorMode);
    return CWinApp::ExitInstance();
}
