// The system library update. For each name of kSystemLibraries: show it,
// compare the shipped copy's version with the installed one's, and when the
// shipped copy is newer, copy it to a temporary file in the system directory
// and leave the swap to the next start of Windows: a delayed move on NT, a
// pair of lines in the [rename] section of Wininit.ini on Windows 95 and 98.
//
// Wininit.ini may already hold sections and pending renames of Windows or of
// other setups; all of it stays. Our lines go at the end of its first
// [rename] section, the one the next start carries out, or into a new
// section at the end of the file when it has none. Each entry reaches the
// file whole or not at all: a delete line without its move line would leave
// the system without the library.
#include "app/Manifest.h"
#include "app/SetupApp.h"
#include "app/SetupContext.h"
#include "deploy/FileVersion.h"
#include "res/resource.h"
#include "support/CaseFold.h"
#include "support/Path.h"

namespace {

const char kJournalName[] = "Wininit.ini";
const char kJournalHeader[] = "[rename]\r\n";
const char kSectionName[] = "rename";
const int kSectionNameLength = sizeof kSectionName - 1;
const char kTempPrefix[] = "temp";

// The longest text written at once: a line break to end an unfinished last
// line, then NUL=installed CR LF installed=temporary CR LF.
const DWORD kEntryRoom = 2 + 4 + (MAX_PATH - 1) + 2 + (MAX_PATH - 1) + 1 + (MAX_PATH - 1) + 2;

// The open journal. Its handle is context.renameJournal; the file's bytes
// from the insertion point on (the tail) are kept in memory behind room for
// one entry, so that an entry and the tail go out in one write.
struct Journal {
    char path[MAX_PATH];
    char* buffer;        // kEntryRoom bytes, then the file as it was read
    char* tail;          // inside buffer: the bytes that follow our entries
    DWORD tailLength;
    DWORD insertAt;      // file offset of the next entry
    bool needsBreak;     // the byte before insertAt does not end a line
};

bool IsNewer(const FileVersion& shipped, const FileVersion& installed) {
    if (shipped.major != installed.major) return shipped.major > installed.major;
    if (shipped.minor != installed.minor) return shipped.minor > installed.minor;
    return shipped.build > installed.build;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Whether a line (without its break) is the header of a [rename] section,
// in any letter case and with blanks around the name.
bool IsRenameHeader(const char* line, DWORD length) {
    DWORD i = 0;
    while (i < length && IsBlank(line[i])) ++i;
    if (i == length || line[i] != '[') return false;
    ++i;
    while (i < length && IsBlank(line[i])) ++i;
    if (length - i < static_cast<DWORD>(kSectionNameLength) ||
        CompareNoCaseCP(line + i, kSectionName, kSectionNameLength) != 0)
        return false;
    i += kSectionNameLength;
    while (i < length && IsBlank(line[i])) ++i;
    return i < length && line[i] == ']';
}

// Where our entries go in the journal's text: right after the last line that
// holds anything in its first [rename] section, or the end of the text when
// it has no such section (*hasSection false: a header is needed).
DWORD FindInsertionPoint(const char* text, DWORD length, bool* hasSection) {
    *hasSection = false;
    DWORD insertAt = length;
    DWORD start = 0;
    while (start < length) {
        DWORD end = start;
        while (end < length && text[end] != '\n') ++end;
        DWORD next = end < length ? end + 1 : end;
        DWORD first = start;
        while (first < end && IsBlank(text[first])) ++first;
        if (*hasSection) {
            if (first < end && text[first] == '[') return insertAt;  // the next section
            if (first < end) insertAt = next;
        } else if (IsRenameHeader(text + start, end - start)) {
            *hasSection = true;
            insertAt = next;
        }
        start = next;
    }
    return insertAt;
}

int Append(char* buffer, int length, const char* text) {
    while (*text) buffer[length++] = *text++;
    return length;
}

// Writes bytes at the insertion point, followed by the tail, in one call.
// When the write fails, the file is put back as it was before it, so that no
// part of the bytes stays behind; the write's error is kept for the report.
bool WriteAtInsertion(HANDLE file, Journal& journal, const char* bytes, DWORD count) {
    DWORD lead = journal.needsBreak ? 2 : 0;
    char* start = journal.tail - count - lead;
    DWORD n = 0;
    if (lead) {
        start[n++] = '\r';
        start[n++] = '\n';
    }
    for (DWORD i = 0; i < count; ++i) start[n++] = bytes[i];

    DWORD written = 0;
    SetFilePointer(file, static_cast<LONG>(journal.insertAt), 0, FILE_BEGIN);
    if (!WriteFile(file, start, n + journal.tailLength, &written, 0)) {
        DWORD error = GetLastError();
        SetFilePointer(file, static_cast<LONG>(journal.insertAt), 0, FILE_BEGIN);
        // The file is cut back only when the tail is safely in place again.
        if (journal.tailLength == 0 || WriteFile(file, journal.tail, journal.tailLength, &written, 0))
            SetEndOfFile(file);
        SetLastError(error);
        return false;
    }
    journal.insertAt += n;
    journal.needsBreak = false;
    return true;
}

// Opens Wininit.ini (made when missing), reads what it holds, finds where our
// entries go and, when it has no [rename] section yet, starts one.
bool OpenJournal(SetupContext& context, Journal& journal) {
    JoinPath(journal.path, context.windowsDir, kJournalName);
    // Read access too: the entries go into the file's own [rename] section.
    HANDLE file = CreateFileA(journal.path, GENERIC_READ | GENERIC_WRITE, 0, 0, OPEN_ALWAYS, 0, 0);
    if (file == INVALID_HANDLE_VALUE) {
        CSetupApp::ReportError(IDS_CREATE_FILE, journal.path, MB_ICONSTOP);
        return false;
    }
    context.renameJournal = file;

    DWORD size = GetFileSize(file, 0);
    if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
        CSetupApp::ReportError(IDS_FILE_ACCESS, journal.path, MB_ICONSTOP);
        return false;
    }
    if (size > 0xFFFFFFFFu - kEntryRoom ||
        !(journal.buffer = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, kEntryRoom + size)))) {
        AfxMessageBox(IDS_NO_MEMORY, MB_ICONSTOP);
        return false;
    }
    char* text = journal.buffer + kEntryRoom;
    DWORD read = 0;
    if (size && (!ReadFile(file, text, size, &read, 0) || read != size)) {
        if (GetLastError() == NO_ERROR) SetLastError(ERROR_READ_FAULT);
        CSetupApp::ReportError(IDS_FILE_ACCESS, journal.path, MB_ICONSTOP);
        return false;
    }

    bool hasSection;
    journal.insertAt = FindInsertionPoint(text, size, &hasSection);
    journal.tail = text + journal.insertAt;
    journal.tailLength = size - journal.insertAt;
    journal.needsBreak = journal.insertAt > 0 && text[journal.insertAt - 1] != '\n';
    if (!hasSection && !WriteAtInsertion(file, journal, kJournalHeader, sizeof kJournalHeader - 1)) {
        CSetupApp::ReportError(IDS_WRITE_ERROR, journal.path, MB_ICONSTOP);
        return false;
    }
    return true;
}

// The short (8.3) form of path, or path itself when the system gives none.
void ShortPath(const char* path, char* shortPath) {
    DWORD n = GetShortPathNameA(path, shortPath, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) CopyPath(shortPath, path);
}

// Journals the swap of one library: NUL=installed, then installed=temporary.
// A library the system does not have yet has no short form to delete; its
// move line names it in the short form of the system directory.
bool JournalSwap(SetupContext& context, Journal& journal, const char* name, const char* installed,
                 const char* temp) {
    if (context.renameJournal == INVALID_HANDLE_VALUE && !OpenJournal(context, journal)) return false;

    char installedShort[MAX_PATH];
    DWORD n = GetShortPathNameA(installed, installedShort, MAX_PATH);
    bool present = n != 0 && n < MAX_PATH;
    if (!present) {
        char systemShort[MAX_PATH];
        ShortPath(context.systemDir, systemShort);
        JoinPath(installedShort, systemShort, name);
    }
    char tempShort[MAX_PATH];
    ShortPath(temp, tempShort);

    char entry[kEntryRoom];
    int length = 0;
    if (present) {
        length = Append(entry, length, "NUL=");
        length = Append(entry, length, installedShort);
        length = Append(entry, length, "\r\n");
    }
    length = Append(entry, length, installedShort);
    length = Append(entry, length, "=");
    length = Append(entry, length, tempShort);
    length = Append(entry, length, "\r\n");

    if (!WriteAtInsertion(context.renameJournal, journal, entry, static_cast<DWORD>(length))) {
        CSetupApp::ReportError(IDS_WRITE_ERROR, journal.path, MB_ICONSTOP);
        return false;
    }
    return true;
}

// Ends and closes the journal if it was opened. After a failure the file is
// left as the last complete write made it.
void CloseJournal(SetupContext& context, Journal& journal, bool succeeded) {
    if (context.renameJournal != INVALID_HANDLE_VALUE) {
        if (succeeded) SetEndOfFile(context.renameJournal);
        CloseHandle(context.renameJournal);
        context.renameJournal = INVALID_HANDLE_VALUE;
    }
    if (journal.buffer) HeapFree(GetProcessHeap(), 0, journal.buffer);
    journal.buffer = 0;
}

bool UpdateLibrary(SetupContext& context, Journal& journal, const char* name) {
    ShowFileProgress(context, name);

    char shipped[MAX_PATH];
    char installed[MAX_PATH];
    JoinPath(shipped, context.sourceDir, name);
    JoinPath(installed, context.systemDir, name);

    FileVersion shippedVersion;
    if (!ReadRequiredVersion(shipped, &shippedVersion)) return false;
    // An installed copy that is missing or has no version counts as 0.0.0.
    FileVersion installedVersion;
    if (ReadFileVersion(installed, &installedVersion) == kVersionNoMemory) {
        AfxMessageBox(IDS_NO_MEMORY, MB_ICONSTOP);
        return false;
    }
    if (!IsNewer(shippedVersion, installedVersion)) return true;

    context.rebootNeeded = true;

    // When no temporary file can be made, the copy is tried on the directory
    // itself; it fails, and the report carries the reason it could not be made.
    char temp[MAX_PATH];
    DWORD tempError = NO_ERROR;
    if (!GetTempFileNameA(context.systemDir, kTempPrefix, 0, temp)) {
        tempError = GetLastError();
        JoinPath(temp, context.systemDir, "");
    }
    if (!CopyFileA(shipped, temp, FALSE)) {
        if (tempError != NO_ERROR) SetLastError(tempError);
        CSetupApp::ReportError2(IDS_COPY_FAILED, shipped, temp, MB_ICONSTOP);
        return false;
    }

    if (!context.isNT) return JournalSwap(context, journal, name, installed, temp);

    if (!MoveFileExA(temp, installed, MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT)) {
        DWORD error = GetLastError();
        DeleteFileA(temp);
        SetLastError(error);
        CSetupApp::ReportError(error == ERROR_ACCESS_DENIED ? IDS_SYSLIB_ACCESS : IDS_SYSLIB_FAILED, installed,
                               MB_ICONSTOP);
        return false;
    }
    return true;
}

}  // namespace

bool UpdateSystemLibraries(SetupContext& context) {
    Journal journal;
    journal.buffer = 0;
    bool succeeded = true;
    for (const char* name = FirstFile(kSystemLibraries); name && succeeded; name = NextFile(name))
        succeeded = UpdateLibrary(context, journal, name);
    CloseJournal(context, journal, succeeded);
    return succeeded;
}
