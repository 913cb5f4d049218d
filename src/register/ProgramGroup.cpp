// The program group: a folder named after the product in the user's Programs
// folder, one shortcut in it per entry of the shortcut table, and a copy of the
// first entry's shortcut (the product's own program) on the Desktop and in
// SendTo. The shell folders come from the user's "Shell Folders" key. A shell
// folder that can't be read, or a shortcut that can't be written, is passed
// over in silence; only a group folder that can't be made stops the run.
#include "app/SetupApp.h"
#include "app/SetupContext.h"
#include "register/ShortcutTable.h"
#include "res/resource.h"
#include "support/CaseFold.h"
#include "support/Path.h"
#include "support/Registry.h"
#include "support/Shortcut.h"

namespace {

const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The table names the uninstaller by its base name; the shortcut starts the
// versioned copy in the Windows directory instead. Only the first ten
// characters are compared, so "UNSCRI.EXE" or "Unscri.exe.old" also count. A
// shorter target differs at its terminating zero at the latest, and the
// comparison stops there: nothing after it is read.
const char kUninstaller[] = "Unscri.exe";
const int kUninstallerLength = sizeof kUninstaller - 1;

// The uninstaller's arguments, "/" product " /" destination: room for the
// longest product name and destination, so they are never cut.
const int kArgumentsSize = 1 + sizeof(SetupContext::productName) + 2 + MAX_PATH;

// What one entry's shortcuts are made of.
struct LinkFields {
    const char* linkName;
    char target[MAX_PATH];
    char description[MAX_PATH];
    char arguments[kArgumentsSize];
};

// Writes the shortcut into folder. A link path that would be cut would save the
// shortcut under another name (without its ".lnk", or over another file), so
// such a shortcut is left out, like one that can't be written.
void PlaceShortcut(const char* folder, const LinkFields& shortcut) {
    if (PathWouldBeCut(folder, shortcut.linkName)) return;
    char linkPath[MAX_PATH];
    JoinPath(linkPath, folder, shortcut.linkName);
    CreateShortcut(shortcut.target, linkPath, shortcut.description, shortcut.arguments, "", 0);
}

// A copy in the shell folder of that value name, when the folder is known.
void PlaceCopy(const char* folderValue, const LinkFields& shortcut) {
    char folder[MAX_PATH];
    if (RegReadValue(HKEY_CURRENT_USER, kShellFolders, folderValue, REG_SZ, folder, sizeof folder) == 0)
        PlaceShortcut(folder, shortcut);
}

// The target, arguments and description of one entry's shortcuts.
void Describe(const SetupContext& context, const ShortcutEntry& entry, LinkFields* shortcut) {
    shortcut->linkName = entry.linkName;
    CopyPath(shortcut->description, entry.description);
    if (CompareNoCaseCP(entry.target, kUninstaller, kUninstallerLength) == 0) {
        CopyPath(shortcut->target, context.uninstallerName);
        char* at = shortcut->arguments;
        int room = sizeof shortcut->arguments;
        const char* parts[] = {"/", context.productName, " /", context.installDir};
        for (const char* part : parts) {
            lstrcpynA(at, part, room);
            int n = lstrlenA(at);
            at += n;
            room -= n;
        }
    } else {
        JoinPath(shortcut->target, context.installDir, entry.target);
        shortcut->arguments[0] = 0;
    }
}

}  // namespace

bool CreateProgramGroup(SetupContext& context) {
    // 259 of the 260 bytes: a Programs path of 259 characters does not fit and
    // the group is left out, like a Programs folder the system does not name.
    char programs[MAX_PATH];
    if (RegReadValue(HKEY_CURRENT_USER, kShellFolders, "Programs", REG_SZ, programs, sizeof programs - 1) != 0)
        return true;

    // A group path that would be cut names another folder: it is reported like
    // a folder that can't be made, with the system's code for a name too long.
    char group[MAX_PATH];
    JoinPath(group, programs, context.productName);
    if (PathWouldBeCut(programs, context.productName)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        CSetupApp::ReportError(IDS_CREATE_DIRECTORY, group, MB_ICONINFORMATION);
        return false;
    }
    // The group of an earlier installation is reused. Only the group folder is
    // made: the Programs folder must be there.
    if (!CreateDirectoryA(group, 0) && GetLastError() != ERROR_ALREADY_EXISTS) {
        CSetupApp::ReportError(IDS_CREATE_DIRECTORY, group, MB_ICONINFORMATION);
        return false;
    }

    // The length is taken before the split: after it the text holds zeros.
    CString table;
    table.LoadString(IDS_SHORTCUTS);
    int length = table.GetLength();
    char* text = table.GetBuffer(length);
    SplitShortcutTable(text, length);

    bool first = true;
    const char* cursor = text;
    ShortcutEntry entry;
    while (NextShortcut(&cursor, text + length, &entry)) {
        LinkFields shortcut;
        Describe(context, entry, &shortcut);
        PlaceShortcut(group, shortcut);
        if (first) {
            first = false;
            PlaceCopy("Desktop", shortcut);
            PlaceCopy("SendTo", shortcut);
        }
    }
    return true;
}
