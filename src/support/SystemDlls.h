// version.dll and comctl32.dll, loaded from the system directory by full path
// so that a DLL of the same name lying beside the setup is never picked up.
#ifndef SUPPORT_SYSTEMDLLS_H
#define SUPPORT_SYSTEMDLLS_H

#include <windows.h>

// From here on, libraries loaded by name come from the system directory only,
// never from the folder the setup runs from. Where the system cannot restrict
// its search (before Windows 7 and its update), nothing changes.
void RestrictDllSearch();

// Loads both libraries and registers the common controls. A library that can't
// be loaded leaves its calls failing (version information then counts as absent).
void LoadSystemDlls(const char* systemDir);

DWORD VersionInfoSize(const char* path, DWORD* handle);
BOOL VersionInfo(const char* path, DWORD handle, DWORD size, void* data);
BOOL VersionQuery(const void* block, const char* subBlock, void** value, UINT* length);

#endif
