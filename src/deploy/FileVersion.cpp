// Reading a file's version: size of the version block, the block itself in a
// heap buffer of exactly that size, then its fixed file information.
#include "deploy/FileVersion.h"

#include "app/SetupApp.h"
#include "res/resource.h"
#include "support/SystemDlls.h"

VersionResult ReadFileVersion(const char* path, FileVersion* version) {
    version->major = version->minor = version->build = 0;

    DWORD handle = 0;
    DWORD size = VersionInfoSize(path, &handle);
    if (size == 0) return kVersionMissing;

    void* block = HeapAlloc(GetProcessHeap(), 0, size);
    if (!block) return kVersionNoMemory;

    VersionResult result = kVersionMissing;
    VS_FIXEDFILEINFO* fixed = 0;
    UINT length = 0;
    BOOL blockRead = VersionInfo(path, handle, size, block);
    if (blockRead && VersionQuery(block, "\\", reinterpret_cast<void**>(&fixed), &length) && fixed &&
        length >= sizeof *fixed && fixed->dwSignature == VS_FFI_SIGNATURE) {
        version->major = HIWORD(fixed->dwFileVersionMS);
        version->minor = LOWORD(fixed->dwFileVersionMS);
        version->build = HIWORD(fixed->dwFileVersionLS);
        result = kVersionRead;
    } else if (blockRead) {
        // A block without fixed information leaves no error of its own; the
        // caller's message should still say something true.
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    }

    // The caller may report the failure's own error, so freeing must not
    // replace it.
    DWORD error = GetLastError();
    HeapFree(GetProcessHeap(), 0, block);
    SetLastError(error);
    return result;
}

bool ReadRequiredVersion(const char* path, FileVersion* version) {
    switch (ReadFileVersion(path, version)) {
    case kVersionMissing:
        CSetupApp::ReportError(IDS_FILE_ACCESS, path, MB_ICONSTOP);
        return false;
    case kVersionNoMemory:
        AfxMessageBox(IDS_NO_MEMORY, MB_ICONSTOP);
        return false;
    case kVersionRead:
        break;
    }
    return true;
}
