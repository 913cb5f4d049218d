// The record of one run, shared by the install phases, and the operations
// every phase may use: the progress of the copy phases and the phase list.
#ifndef APP_SETUPCONTEXT_H
#define APP_SETUPCONTEXT_H

#include <windows.h>

class CProgressDlg;

struct SetupContext {
    char sourceDir[MAX_PATH];     // folder of the running setup, no trailing backslash
    char windowsDir[MAX_PATH];
    char systemDir[MAX_PATH];
    char installDir[MAX_PATH];    // the destination; exists once the phases run
    char productName[32];         // string 1, at most 31 characters
    int productNameLength;
    bool isNT;
    bool rebootNeeded;            // a library swap or a changed Autoexec.bat waits for a restart
    bool pathChanged;             // the NT Path value was extended: a logoff is due
    bool shutdownAllowed;
    char uninstallerName[MAX_PATH];
    HANDLE renameJournal;         // Wininit.ini while entries are written; INVALID_HANDLE_VALUE when none
    CProgressDlg* progress;       // the progress window, from before the first phase until the uninstaller is in
    int fileTotal;                // names in both copy lists
    int fileIndex;                // index over both lists of the next file shown
};

// Fills a context with nothing: empty texts, flags false, no journal, no window.
void InitSetupContext(SetupContext& context);

// Names the file on the status line and moves the bar, before the file's work.
void ShowFileProgress(SetupContext& context, const char* name);

// The install phases, in the order they run. Each returns false once it has
// shown why it stopped; the run then ends.
bool UpdateSystemLibraries(SetupContext& context);
bool CopyProductFiles(SetupContext& context);
bool InstallUninstaller(SetupContext& context);
bool CreateProgramGroup(SetupContext& context);
bool RegisterApplication(SetupContext& context);
bool RegisterTextTypes(SetupContext& context);
bool AddToSearchPath(SetupContext& context);
bool FinishSetup(SetupContext& context);

#endif
