// Run-time loading of version.dll and comctl32.dll by full path.
#include "support/SystemDlls.h"
#include "support/Path.h"

namespace {

typedef DWORD (WINAPI* SizeFn)(LPCSTR, LPDWORD);
typedef BOOL (WINAPI* InfoFn)(LPCSTR, DWORD, DWORD, LPVOID);
typedef BOOL (WINAPI* QueryFn)(LPCVOID, LPCSTR, LPVOID*, PUINT);
typedef void (WINAPI* InitFn)();

SizeFn g_size = 0;
InfoFn g_info = 0;
QueryFn g_query = 0;

HMODULE LoadFromSystem(const char* systemDir, const char* name) {
    char path[MAX_PATH];
    JoinPath(path, systemDir, name);
    return LoadLibraryA(path);
}

}  // namespace

void RestrictDllSearch() {
    // The system's own DLLs load theirs by name, and the program's folder comes
    // first in that search: comctl32.dll, for one, is looked up when a dialog
    // names a common-controls class.
    typedef BOOL (WINAPI* SetDirectoriesFn)(DWORD);
    const DWORD kSearchSystem32 = 0x00000800;
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    SetDirectoriesFn setDirectories =
        kernel ? reinterpret_cast<SetDirectoriesFn>(GetProcAddress(kernel, "SetDefaultDllDirectories")) : 0;
    if (setDirectories) setDirectories(kSearchSystem32);
}

void LoadSystemDlls(const char* systemDir) {
    if (HMODULE version = LoadFromSystem(systemDir, "version.dll")) {
        g_size = reinterpret_cast<SizeFn>(GetProcAddress(version, "GetFileVersionInfoSizeA"));
        g_info = reinterpret_cast<InfoFn>(GetProcAddress(version, "GetFileVersionInfoA"));
        g_query = reinterpret_cast<QueryFn>(GetProcAddress(version, "VerQueryValueA"));
    }
    if (HMODULE comctl = LoadFromSystem(systemDir, "comctl32.dll")) {
        if (InitFn init = reinterpret_cast<InitFn>(GetProcAddress(comctl, "InitCommonControls"))) init();
    }
}

DWORD VersionInfoSize(const char* path, DWORD* handle) {
    if (!g_size) {
        *handle = 0;
        SetLastError(ERROR_PROC_NOT_FOUND);
        return 0;
    }
    return g_size(path, handle);
}

BOOL VersionInfo(const char* path, DWORD handle, DWORD size, void* data) {
    return g_info ? g_info(path, handle, size, data) : FALSE;
}

BOOL VersionQuery(const void* block, const char* subBlock, void** value, UINT* length) {
    return g_query ? g_query(block, subBlock, value, length) : FALSE;
}
