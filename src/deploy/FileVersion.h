// The file version by which libraries are compared and the uninstaller is
// named: the first three numbers of a file's fixed version information.
#ifndef DEPLOY_FILEVERSION_H
#define DEPLOY_FILEVERSION_H

#include <windows.h>

// Major, minor and build; the fourth number of a Windows file version is
// left out, so two files that differ only there have equal versions.
struct FileVersion {
    WORD major;
    WORD minor;
    WORD build;
};

enum VersionResult {
    kVersionRead,        // the version is filled in
    kVersionMissing,     // no such file, unreadable, or no version resource
    kVersionNoMemory     // the version block could not be allocated
};

// Reads the file version of path. *version is 0.0.0 unless the result is
// kVersionRead. Shows no message; on kVersionMissing the last error says why.
VersionResult ReadFileVersion(const char* path, FileVersion* version);

// The version of a file the setup cannot go on without (a shipped library, the
// main program). False once the failure is shown: the file's path with the
// system's text when it has no version, or the memory message.
bool ReadRequiredVersion(const char* path, FileVersion* version);

#endif
