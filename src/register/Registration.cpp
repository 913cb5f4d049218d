// Application registration: the App Paths entry, by which the shell finds
// Scrivon.exe by its name alone, and the product's entry in the list of
// installed software, with its display name and the command that removes it.
// The values are REG_SZ, each written with its length as size, without the
// terminating zero. A value that can't be written is passed over; only a
// string that can't be allocated stops the run.
#include "app/SetupApp.h"
#include "app/SetupContext.h"
#include "res/resource.h"
#include "support/Path.h"
#include "support/Registry.h"

namespace {

const char kAppPathsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Scrivon.exe";
const char kMainProgram[] = "Scrivon.exe";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const int kUninstallKeyLength = sizeof kUninstallKey - 1;
// Between the uninstaller and each of its two arguments.
const char kArgumentSeparator[] = " /";
const int kArgumentSeparatorLength = sizeof kArgumentSeparator - 1;

// Room for length characters and the terminating zero, or null.
char* NewText(int length) { return static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, length + 1)); }
void FreeText(char* text) { HeapFree(GetProcessHeap(), 0, text); }

// Copies the length characters of part to at, with a zero after them; returns
// the position of that zero.
char* Put(char* at, const char* part, int length) {
    lstrcpynA(at, part, length + 1);
    return at + length;
}

}  // namespace

bool RegisterApplication(SetupContext& context) {
    char appPath[MAX_PATH];
    int appPathLength = JoinPath(appPath, context.installDir, kMainProgram);
    RegWriteValue(HKEY_LOCAL_MACHINE, kAppPathsKey, 0, REG_SZ, appPath, appPathLength);

    // The key below Uninstall is the product name as it is, blanks and dots included.
    int productLength = lstrlenA(context.productName);
    char* keyPath = NewText(kUninstallKeyLength + productLength);
    if (!keyPath) {
        AfxMessageBox(IDS_NO_MEMORY, MB_ICONSTOP);
        return false;
    }
    Put(Put(keyPath, kUninstallKey, kUninstallKeyLength), context.productName, productLength);
    RegWriteValue(HKEY_LOCAL_MACHINE, keyPath, "DisplayName", REG_SZ, context.productName, productLength);

    // "uninstaller /product /destination", unquoted, never cut: the string has
    // exactly the room of its parts.
    int uninstallerLength = lstrlenA(context.uninstallerName);
    int installLength = lstrlenA(context.installDir);
    int commandLength = uninstallerLength + kArgumentSeparatorLength + productLength + kArgumentSeparatorLength +
                        installLength;
    char* command = NewText(commandLength);
    if (!command) {
        FreeText(keyPath);
        AfxMessageBox(IDS_NO_MEMORY, MB_ICONSTOP);
        return false;
    }
    char* at = Put(command, context.uninstallerName, uninstallerLength);
    at = Put(at, kArgumentSeparator, kArgumentSeparatorLength);
    at = Put(at, context.productName, productLength);
    at = Put(at, kArgumentSeparator, kArgumentSeparatorLength);
    Put(at, context.installDir, installLength);
    RegWriteValue(HKEY_LOCAL_MACHINE, keyPath, "UninstallString", REG_SZ, command, commandLength);

    FreeText(command);
    FreeText(keyPath);
    return true;
}
