// AddToSearchPath: puts the destination on the command search path, once.
// On NT the folder is appended to the machine's "Path" environment value,
// which takes effect at the next logon (pathChanged). On Windows 95 and 98 it
// goes, in quotes, on the PATH line of C:\Autoexec.bat, which takes effect at
// the next start of Windows (rebootNeeded). The text edits are in PathEdit.cpp;
// this file reads and writes the value and the file and shows the messages.
#include "register/SearchPath.h"

#include "app/SetupApp.h"
#include "app/SetupContext.h"
#include "register/PathEdit.h"
#include "res/resource.h"
#include "support/CaseFold.h"
#include "support/Files.h"
#include "support/Registry.h"

const char* autoexecPath = "C:\\Autoexec.bat";

namespace {

const char kEnvironmentKey[] = "System\\CurrentControlSet\\Control\\Session Manager\\Environment";
const char kPathName[] = "Path";
const DWORD kPathValueSize = 8192;   // the value's text and its terminator

// A value that can't be read stops the run: without it the folder can't be
// added. A value that can't be written is passed over; pathChanged stays set.
bool AddToPathValue(SetupContext& context) {
    char value[kPathValueSize];
    // NT keeps its own Path as REG_EXPAND_SZ ("%SystemRoot%\system32;..."):
    // written back as REG_SZ, none of its %...% entries would expand any more.
    DWORD storedType = REG_SZ;
    int rc = RegReadValue(HKEY_LOCAL_MACHINE, kEnvironmentKey, kPathName, REG_SZ, value, sizeof value, &storedType);
    if (rc != 0) {
        // -1 is our own code for a chain node that could not be allocated.
        SetLastError(rc == -1 ? ERROR_NOT_ENOUGH_MEMORY : static_cast<DWORD>(rc));
        CSetupApp::ReportError(IDS_KEY_ACCESS, kEnvironmentKey, MB_ICONSTOP);
        return false;
    }
    int valueLength = lstrlenA(value);
    int directoryLength = lstrlenA(context.installDir);
    if (PathValueHolds(value, valueLength, context.installDir, directoryLength, CompareNoCaseCP)) return true;

    context.pathChanged = true;
    DWORD type = storedType == REG_EXPAND_SZ ? REG_EXPAND_SZ : REG_SZ;
    char* text = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, valueLength + 1 + directoryLength));
    if (!text) return true;
    int length = BuildPathValue(value, valueLength, context.installDir, directoryLength, text);
    RegWriteValue(HKEY_LOCAL_MACHINE, kEnvironmentKey, kPathName, type, text, length);
    HeapFree(GetProcessHeap(), 0, text);
    return true;
}

// One WriteFile of count bytes. A write that reports success but stores
// fewer bytes counts as a full disk.
bool WriteAll(HANDLE file, const char* data, int count) {
    DWORD written = 0;
    if (!WriteFile(file, data, count, &written, 0)) return false;
    if (written == static_cast<DWORD>(count)) return true;
    SetLastError(ERROR_DISK_FULL);
    return false;
}

// Puts the file's old text back after a failed write, so that the boot file
// is never left cut or half rewritten. The old text is never longer than
// what was being written, so it fits in the space the file already had.
void PutBack(HANDLE file, const char* text, int length) {
    DWORD written;
    if (SetFilePointer(file, 0, 0, FILE_BEGIN) == 0 && WriteFile(file, text, length, &written, 0))
        SetEndOfFile(file);
}

// Rewrites the batch file as the edit says. A file without a PATH line gets a
// first line "set PATH=" and the entry, written in front of the old text.
// The edit looks at the text up to its first zero byte (length); the file's
// bytes after it (up to fileLength) are written back as they were.
bool EditAutoexec(SetupContext& context, const char* text, int length, int fileLength, const char* entry,
                  int entryLength) {
    BatchEdit edit = PlanBatchEdit(text, length, entry, entryLength, CompareNoCaseCP);
    if (edit.kind == kBatchHasEntry) return true;
    context.rebootNeeded = true;

    char* newText = 0;
    int newLength = 0;
    if (edit.kind == kBatchInsert) {
        newText = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, fileLength + 1 + entryLength));
        if (!newText) return true;
        newLength = BuildBatchInsert(text, fileLength, edit.at, entry, entryLength, newText);
    }

    bool ok = false;
    HANDLE file = CreateFileA(autoexecPath, GENERIC_WRITE, 0, 0, OPEN_ALWAYS, 0, 0);
    if (file == INVALID_HANDLE_VALUE) {
        CSetupApp::ReportError(IDS_CREATE_FILE, autoexecPath, MB_ICONSTOP);
    } else {
        bool written = newText ? WriteAll(file, newText, newLength)
                               : WriteAll(file, kSetPathPrefix, 9) && WriteAll(file, entry, entryLength) &&
                                     WriteAll(file, kLineEnd, 2) && WriteAll(file, text, fileLength);
        if (written) {
            SetEndOfFile(file);
            CloseHandle(file);
            ok = true;
        } else {
            // The message names the write's own error, not the clean-up's.
            DWORD error = GetLastError();
            PutBack(file, text, fileLength);
            CloseHandle(file);
            SetLastError(error);
            CSetupApp::ReportError(IDS_WRITE_ERROR, autoexecPath, MB_ICONSTOP);
        }
    }
    if (newText) HeapFree(GetProcessHeap(), 0, newText);
    return ok;
}

// A missing or unreadable batch file is passed over: nothing is created.
bool AddToAutoexec(SetupContext& context) {
    char entry[MAX_PATH + 2];
    int entryLength = wsprintfA(entry, "\"%s\"", context.installDir);
    HGLOBAL block;
    char* text;
    LONG fileLength = 0;
    if (LoadWholeFile(autoexecPath, &block, &text, &fileLength) != 0) return true;
    // The text ends at the first zero byte, as for every reader of it.
    bool ok = EditAutoexec(context, text, lstrlenA(text), fileLength, entry, entryLength);
    GlobalUnlock(block);
    GlobalFree(block);
    return ok;
}

}  // namespace

bool AddToSearchPath(SetupContext& context) {
    context.pathChanged = false;
    return context.isNT ? AddToPathValue(context) : AddToAutoexec(context);
}
