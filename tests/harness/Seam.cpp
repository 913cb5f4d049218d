// The seam's core and its doubles for the Win32 calls (COM in SeamCom.cpp).
// Compiled without the routing header, so the names below are the real ones.
#include "Seam.h"

#include <shlobj.h>

#include <map>
#include <set>

#include "support/SystemDlls.h"

namespace seam {
namespace {

struct Fault {
    std::string fn;
    DWORD error;
    int nth;          // 0: every call
    std::string arg;
    int seen;
};

std::vector<Call> g_calls;
std::vector<Fault> g_faults;
std::vector<MessageBoxCall> g_boxes;
std::set<HKEY> g_openKeys;
std::set<void*> g_liveBlocks;
UINT g_acp = 0;
DWORD g_platform = 0, g_major = 0, g_minor = 0;
std::string g_browse;

bool Matches(const Fault& f, const std::vector<std::string>& args) {
    if (f.arg.empty()) return true;
    for (const std::string& a : args)
        if (a.find(f.arg) != std::string::npos) return true;
    return false;
}

}  // namespace

std::string Num(unsigned long long v) { return std::to_string(v); }

void Reset() {
    g_calls.clear();
    g_faults.clear();
    g_boxes.clear();
    g_acp = 0;
    g_platform = g_major = g_minor = 0;
    g_browse.clear();
}

const std::vector<Call>& Calls() { return g_calls; }

std::vector<Call> CallsOf(const std::string& fn) {
    std::vector<Call> out;
    for (const Call& c : g_calls)
        if (c.fn == fn) out.push_back(c);
    return out;
}

int Count(const std::string& fn) { return static_cast<int>(CallsOf(fn).size()); }

void Fail(const std::string& fn, DWORD error, int nth, const std::string& argSubstring) {
    g_faults.push_back(Fault{fn, error, nth, argSubstring, 0});
}

bool Hit(const char* fn, const std::vector<std::string>& args) {
    g_calls.push_back(Call{fn, args});
    for (Fault& f : g_faults) {
        if (f.fn != fn || !Matches(f, args)) continue;
        ++f.seen;
        if (f.nth == 0 || f.seen == f.nth) {
            SetLastError(f.error);
            return true;
        }
    }
    return false;
}

const std::vector<MessageBoxCall>& MessageBoxes() { return g_boxes; }
void SetACP(UINT codePage) { g_acp = codePage; }
void SetVersion(DWORD platform, DWORD major, DWORD minor) {
    g_platform = platform;
    g_major = major;
    g_minor = minor;
}
void SetBrowseAnswer(const std::string& folder) { g_browse = folder; }
int OpenKeys() { return static_cast<int>(g_openKeys.size()); }
int LiveHeapBlocks() { return static_cast<int>(g_liveBlocks.size()); }

void TrackKey(HKEY key, bool open) {
    if (open) g_openKeys.insert(key);
    else g_openKeys.erase(key);
}

}  // namespace seam

using seam::Hit;
using seam::Num;

namespace {
std::string Str(const char* s) { return s ? std::string(s) : std::string("(null)"); }
std::string Ptr(const void* p) { return Num(reinterpret_cast<uintptr_t>(p)); }
}  // namespace

int Seam_MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
    Hit("MessageBoxA", {Ptr(owner), Str(text), Str(caption), Num(style)});
    seam::g_boxes.push_back(seam::MessageBoxCall{owner, Str(text), Str(caption), style});
    return IDOK;
}

BOOL Seam_GetVersionExA(LPOSVERSIONINFOA info) {
    if (Hit("GetVersionExA", {})) return FALSE;
    BOOL ok = GetVersionExA(info);
    if (seam::g_platform) {
        info->dwPlatformId = seam::g_platform;
        info->dwMajorVersion = seam::g_major;
        info->dwMinorVersion = seam::g_minor;
    }
    return ok;
}

UINT Seam_GetACP() { return seam::g_acp ? seam::g_acp : GetACP(); }

BOOL Seam_CopyFileA(LPCSTR from, LPCSTR to, BOOL failIfExists) {
    if (Hit("CopyFileA", {Str(from), Str(to), Num(failIfExists)})) return FALSE;
    return CopyFileA(from, to, failIfExists);
}

BOOL Seam_MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags) {
    if (Hit("MoveFileExA", {Str(from), Str(to), Num(flags)})) return FALSE;
    return MoveFileExA(from, to, flags);
}

BOOL Seam_DeleteFileA(LPCSTR path) {
    if (Hit("DeleteFileA", {Str(path)})) return FALSE;
    return DeleteFileA(path);
}

UINT Seam_GetTempFileNameA(LPCSTR dir, LPCSTR prefix, UINT unique, LPSTR out) {
    if (Hit("GetTempFileNameA", {Str(dir), Str(prefix), Num(unique)})) return 0;
    return GetTempFileNameA(dir, prefix, unique, out);
}

DWORD Seam_GetShortPathNameA(LPCSTR path, LPSTR out, DWORD size) {
    if (Hit("GetShortPathNameA", {Str(path), Num(size)})) return 0;
    return GetShortPathNameA(path, out, size);
}

HANDLE Seam_CreateFileA(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES sa,
                        DWORD disposition, DWORD flags, HANDLE tmpl) {
    if (Hit("CreateFileA", {Str(path), Num(access), Num(share), Num(disposition), Num(flags)}))
        return INVALID_HANDLE_VALUE;
    return CreateFileA(path, access, share, sa, disposition, flags, tmpl);
}

BOOL Seam_ReadFile(HANDLE file, LPVOID buffer, DWORD size, LPDWORD read, LPOVERLAPPED ov) {
    if (Hit("ReadFile", {Ptr(file), Num(size)})) return FALSE;
    return ReadFile(file, buffer, size, read, ov);
}

BOOL Seam_WriteFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED ov) {
    std::string bytes(static_cast<const char*>(data), size);
    if (Hit("WriteFile", {Ptr(file), bytes, Num(size)})) return FALSE;
    return WriteFile(file, data, size, written, ov);
}

BOOL Seam_SetEndOfFile(HANDLE file) {
    if (Hit("SetEndOfFile", {Ptr(file)})) return FALSE;
    return SetEndOfFile(file);
}

BOOL Seam_CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES sa) {
    if (Hit("CreateDirectoryA", {Str(path)})) return FALSE;
    return CreateDirectoryA(path, sa);
}

HGLOBAL Seam_GlobalAlloc(UINT flags, SIZE_T size) {
    if (Hit("GlobalAlloc", {Num(flags), Num(size)})) return nullptr;
    return GlobalAlloc(flags, size);
}

LPVOID Seam_GlobalLock(HGLOBAL block) {
    if (Hit("GlobalLock", {Ptr(block)})) return nullptr;
    return GlobalLock(block);
}

LPVOID Seam_HeapAlloc(HANDLE heap, DWORD flags, SIZE_T size) {
    if (Hit("HeapAlloc", {Num(size)})) return nullptr;
    LPVOID block = HeapAlloc(heap, flags, size);
    if (block) seam::g_liveBlocks.insert(block);
    return block;
}

BOOL Seam_HeapFree(HANDLE heap, DWORD flags, LPVOID block) {
    Hit("HeapFree", {Ptr(block)});
    seam::g_liveBlocks.erase(block);
    return HeapFree(heap, flags, block);
}

LONG Seam_RegOpenKeyExA(HKEY parent, LPCSTR name, DWORD options, REGSAM access, PHKEY out) {
    if (Hit("RegOpenKeyExA", {Ptr(parent), Str(name), Num(access)})) return static_cast<LONG>(GetLastError());
    LONG rc = RegOpenKeyExA(parent, name, options, access, out);
    if (rc == ERROR_SUCCESS) seam::TrackKey(*out, true);
    return rc;
}

LONG Seam_RegCreateKeyExA(HKEY parent, LPCSTR name, DWORD reserved, LPSTR cls, DWORD options,
                          REGSAM access, LPSECURITY_ATTRIBUTES sa, PHKEY out, LPDWORD disposition) {
    if (Hit("RegCreateKeyExA", {Ptr(parent), Str(name), Num(access)})) return static_cast<LONG>(GetLastError());
    LONG rc = RegCreateKeyExA(parent, name, reserved, cls, options, access, sa, out, disposition);
    if (rc == ERROR_SUCCESS) seam::TrackKey(*out, true);
    return rc;
}

LONG Seam_RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size) {
    if (Hit("RegQueryValueExA", {Ptr(key), Str(name), Num(size ? *size : 0)})) return static_cast<LONG>(GetLastError());
    return RegQueryValueExA(key, name, reserved, type, data, size);
}

LONG Seam_RegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
    std::string bytes(reinterpret_cast<const char*>(data), data ? size : 0);
    if (Hit("RegSetValueExA", {Ptr(key), Str(name), Num(type), bytes, Num(size)})) return static_cast<LONG>(GetLastError());
    return RegSetValueExA(key, name, reserved, type, data, size);
}

LONG Seam_RegCloseKey(HKEY key) {
    Hit("RegCloseKey", {Ptr(key)});
    seam::TrackKey(key, false);
    return RegCloseKey(key);
}

BOOL Seam_OpenProcessToken(HANDLE process, DWORD access, PHANDLE token) {
    if (Hit("OpenProcessToken", {Num(access)})) return FALSE;
    return OpenProcessToken(process, access, token);
}

BOOL Seam_LookupPrivilegeValueA(LPCSTR system, LPCSTR name, PLUID luid) {
    if (Hit("LookupPrivilegeValueA", {Str(system), Str(name)})) return FALSE;
    return LookupPrivilegeValueA(system, name, luid);
}

BOOL Seam_AdjustTokenPrivileges(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES state, DWORD length,
                                PTOKEN_PRIVILEGES previous, PDWORD returned) {
    std::vector<std::string> args{Num(disableAll), Num(length)};
    if (state) {
        args.push_back(Num(state->PrivilegeCount));
        if (state->PrivilegeCount) args.push_back(Num(state->Privileges[0].Attributes));
    }
    if (Hit("AdjustTokenPrivileges", args)) return FALSE;
    return AdjustTokenPrivileges(token, disableAll, state, length, previous, returned);
}

BOOL Seam_PrivilegeCheck(HANDLE token, PPRIVILEGE_SET set, LPBOOL result) {
    if (Hit("PrivilegeCheck", {Num(set ? set->PrivilegeCount : 0), Num(set ? set->Control : 0)})) {
        *result = FALSE;
        return FALSE;
    }
    return PrivilegeCheck(token, set, result);
}

BOOL Seam_ExitWindowsEx(UINT flags, DWORD reason) {
    Hit("ExitWindowsEx", {Num(flags), Num(reason)});
    return TRUE;
}

LPITEMIDLIST Seam_SHBrowseForFolderA(LPBROWSEINFOA info) {
    // The folder browser is answered by the test: a folder, or none (cancelled).
    std::string title = info && info->lpszTitle ? info->lpszTitle : "";
    Hit("SHBrowseForFolderA", {Ptr(info ? info->hwndOwner : nullptr), title, Num(info ? info->ulFlags : 0)});
    if (seam::g_browse.empty()) return nullptr;
    std::wstring wide(seam::g_browse.begin(), seam::g_browse.end());
    return ILCreateFromPathW(wide.c_str());
}

DWORD Seam_VersionInfoSize(const char* path, DWORD* handle) {
    if (Hit("VersionInfoSize", {Str(path)})) return 0;
    return VersionInfoSize(path, handle);
}

BOOL Seam_VersionInfo(const char* path, DWORD handle, DWORD size, void* data) {
    if (Hit("VersionInfo", {Str(path), Num(size)})) return FALSE;
    return VersionInfo(path, handle, size, data);
}

BOOL Seam_VersionQuery(const void* block, const char* sub, void** out, UINT* length) {
    if (Hit("VersionQuery", {Str(sub)})) return FALSE;
    return VersionQuery(block, sub, out, length);
}
