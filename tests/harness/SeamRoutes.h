// Interposition header, force-included into every product source when it is
// compiled for the tests. It pulls in the platform headers first (their include
// guards keep later includes from redeclaring anything), then routes the chosen
// calls to the doubles in Seam*.cpp, which record each call and either forward
// it to the real function or fail it on demand.
#ifndef SETUP_SEAM_ROUTES_H
#define SETUP_SEAM_ROUTES_H

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#ifdef __cplusplus
extern "C++" {
#endif

// Messages and system information.
int  Seam_MessageBoxA(HWND, LPCSTR, LPCSTR, UINT);
BOOL Seam_GetVersionExA(LPOSVERSIONINFOA);
UINT Seam_GetACP(void);

// Files and directories.
BOOL   Seam_CopyFileA(LPCSTR, LPCSTR, BOOL);
BOOL   Seam_MoveFileExA(LPCSTR, LPCSTR, DWORD);
BOOL   Seam_DeleteFileA(LPCSTR);
UINT   Seam_GetTempFileNameA(LPCSTR, LPCSTR, UINT, LPSTR);
DWORD  Seam_GetShortPathNameA(LPCSTR, LPSTR, DWORD);
HANDLE Seam_CreateFileA(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
BOOL   Seam_ReadFile(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
BOOL   Seam_WriteFile(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
BOOL   Seam_SetEndOfFile(HANDLE);
BOOL   Seam_CreateDirectoryA(LPCSTR, LPSECURITY_ATTRIBUTES);

// Memory.
HGLOBAL Seam_GlobalAlloc(UINT, SIZE_T);
LPVOID  Seam_GlobalLock(HGLOBAL);
LPVOID  Seam_HeapAlloc(HANDLE, DWORD, SIZE_T);
BOOL    Seam_HeapFree(HANDLE, DWORD, LPVOID);

// Registry.
LONG Seam_RegOpenKeyExA(HKEY, LPCSTR, DWORD, REGSAM, PHKEY);
LONG Seam_RegCreateKeyExA(HKEY, LPCSTR, DWORD, LPSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES, PHKEY, LPDWORD);
LONG Seam_RegQueryValueExA(HKEY, LPCSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
LONG Seam_RegSetValueExA(HKEY, LPCSTR, DWORD, DWORD, const BYTE*, DWORD);
LONG Seam_RegCloseKey(HKEY);

// Security and shutdown. ExitWindowsEx is only recorded, never forwarded.
BOOL Seam_OpenProcessToken(HANDLE, DWORD, PHANDLE);
BOOL Seam_LookupPrivilegeValueA(LPCSTR, LPCSTR, PLUID);
BOOL Seam_AdjustTokenPrivileges(HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD, PTOKEN_PRIVILEGES, PDWORD);
BOOL Seam_PrivilegeCheck(HANDLE, PPRIVILEGE_SET, LPBOOL);
BOOL Seam_ExitWindowsEx(UINT, DWORD);

// COM and shell.
HRESULT Seam_CoInitialize(LPVOID);
HRESULT Seam_CoCreateInstance(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
void    Seam_CoUninitialize(void);
LPITEMIDLIST Seam_SHBrowseForFolderA(LPBROWSEINFOA);

// The version functions, which the program loads from version.dll itself.
DWORD Seam_VersionInfoSize(const char*, DWORD*);
BOOL  Seam_VersionInfo(const char*, DWORD, DWORD, void*);
BOOL  Seam_VersionQuery(const void*, const char*, void**, UINT*);

#ifdef __cplusplus
}
#endif

#define MessageBoxA           Seam_MessageBoxA
#define GetVersionExA         Seam_GetVersionExA
#define GetACP                Seam_GetACP
#define CopyFileA             Seam_CopyFileA
#define MoveFileExA           Seam_MoveFileExA
#define DeleteFileA           Seam_DeleteFileA
#define GetTempFileNameA      Seam_GetTempFileNameA
#define GetShortPathNameA     Seam_GetShortPathNameA
#define CreateFileA           Seam_CreateFileA
#define ReadFile              Seam_ReadFile
#define WriteFile             Seam_WriteFile
#define SetEndOfFile          Seam_SetEndOfFile
#define CreateDirectoryA      Seam_CreateDirectoryA
#define GlobalAlloc           Seam_GlobalAlloc
#define GlobalLock            Seam_GlobalLock
#define HeapAlloc             Seam_HeapAlloc
#define HeapFree              Seam_HeapFree
#define RegOpenKeyExA         Seam_RegOpenKeyExA
#define RegCreateKeyExA       Seam_RegCreateKeyExA
#define RegQueryValueExA      Seam_RegQueryValueExA
#define RegSetValueExA        Seam_RegSetValueExA
#define RegCloseKey           Seam_RegCloseKey
#define OpenProcessToken      Seam_OpenProcessToken
#define LookupPrivilegeValueA Seam_LookupPrivilegeValueA
#define AdjustTokenPrivileges Seam_AdjustTokenPrivileges
#define PrivilegeCheck        Seam_PrivilegeCheck
#define ExitWindowsEx         Seam_ExitWindowsEx
#define CoInitialize          Seam_CoInitialize
#define CoCreateInstance      Seam_CoCreateInstance
#define CoUninitialize        Seam_CoUninitialize
#define SHBrowseForFolderA    Seam_SHBrowseForFolderA
#define VersionInfoSize       Seam_VersionInfoSize
#define VersionInfo           Seam_VersionInfo
#define VersionQuery          Seam_VersionQuery

#endif
