// The product files and the uninstaller: CopyProductFiles copies every name
// of kProductFiles from the setup's folder into the destination, then
// InstallUninstaller puts the uninstaller into the Windows directory under a
// name that carries the main program's version.
#include "app/Manifest.h"
#include "app/SetupApp.h"
#include "app/SetupContext.h"
#include "deploy/FileVersion.h"
#include "res/resource.h"
#include "support/Path.h"

namespace {

const char kMainProgram[] = "Scrivon.exe";
const char kUninstaller[] = "Unscri.exe";
// Positions 6, 7 and 8 receive the version's three numbers as characters.
const char kUninstallerTemplate[] = "Unscri000.exe";
const int kVersionDigits = 6;

// '0' plus the number's low byte, wrapping at 256, with no test of range:
// 0 to 9 give their digit, 10 a colon, 17 a capital A.
char VersionCharacter(WORD number) {
    return static_cast<char>(static_cast<unsigned char>(0x30 + (number & 0xFF)));
}

}  // namespace

bool CopyProductFiles(SetupContext& context) {
    for (const char* name = FirstFile(kProductFiles); name; name = NextFile(name)) {
        ShowFileProgress(context, name);
        char source[MAX_PATH];
        char destination[MAX_PATH];
        JoinPath(source, context.sourceDir, name);
        JoinPath(destination, context.installDir, name);
        // A file of the same name is replaced whatever its version or date.
        if (!CopyFileA(source, destination, FALSE)) {
            CSetupApp::ReportError2(IDS_COPY_FAILED, source, destination, MB_ICONSTOP);
            return false;
        }
    }
    return true;
}

bool InstallUninstaller(SetupContext& context) {
    char mainProgram[MAX_PATH];
    JoinPath(mainProgram, context.sourceDir, kMainProgram);
    FileVersion version;
    if (!ReadRequiredVersion(mainProgram, &version)) return false;

    char name[sizeof kUninstallerTemplate];
    lstrcpynA(name, kUninstallerTemplate, sizeof name);
    name[kVersionDigits] = VersionCharacter(version.major);
    name[kVersionDigits + 1] = VersionCharacter(version.minor);
    name[kVersionDigits + 2] = VersionCharacter(version.build);

    char source[MAX_PATH];
    JoinPath(source, context.sourceDir, kUninstaller);
    JoinPath(context.uninstallerName, context.windowsDir, name);
    // An uninstaller of the same version left by an earlier setup is replaced.
    if (!CopyFileA(source, context.uninstallerName, FALSE)) {
        CSetupApp::ReportError2(IDS_COPY_FAILED, source, context.uninstallerName, MB_ICONSTOP);
        return false;
    }
    return true;
}
