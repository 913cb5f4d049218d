// A DLL planted beside the setup under the name of a system library. Loading
// it leaves C:\planted-NAME.txt behind, and calling one of its functions
// C:\planted-NAME-called.txt.
#include <windows.h>

namespace {
HINSTANCE g_self;

void Mark(const char* suffix) {
    char path[MAX_PATH];
    GetModuleFileNameA(g_self, path, MAX_PATH);
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (*p == '\\') name = p + 1;
    char marker[MAX_PATH];
    wsprintfA(marker, "C:\\planted-%s%s.txt", name, suffix);
    HANDLE file = CreateFileA(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}
}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    g_self = instance;
    if (reason == DLL_PROCESS_ATTACH) Mark("");
    return TRUE;
}

// What the setup would call in the real libraries.
extern "C" __declspec(dllexport) DWORD WINAPI GetFileVersionInfoSizeA(LPCSTR, LPDWORD) { Mark("-called"); return 0; }
extern "C" __declspec(dllexport) BOOL WINAPI GetFileVersionInfoA(LPCSTR, DWORD, DWORD, LPVOID) { Mark("-called"); return FALSE; }
extern "C" __declspec(dllexport) BOOL WINAPI VerQueryValueA(LPCVOID, LPCSTR, LPVOID*, PUINT) { Mark("-called"); return FALSE; }
extern "C" __declspec(dllexport) void WINAPI InitCommonControls() { Mark("-called"); }
