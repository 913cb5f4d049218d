// What the compiler expects of a C++ runtime, for a program that has none:
// the entry point (global constructors, the framework, global destructors),
// operator new and delete over the process heap, and memcpy/memset/memmove/memcmp.
// Linked into Setup.exe only; the tests use the toolchain's own runtime.
#include <windows.h>

#include "framework/WinApp.h"

typedef void (*Action)();

// The linker lays the constructor list out as -1, the constructors, 0.
extern "C" Action __CTOR_LIST__[];

namespace {
// Room for the destructors of every global object the program has.
Action g_atExit[32];
int g_atExitCount = 0;

void RunConstructors() {
    int n = 0;
    while (__CTOR_LIST__[n + 1]) ++n;
    for (int i = n; i >= 1; --i) __CTOR_LIST__[i]();
}

void RunDestructors() {
    while (g_atExitCount > 0) g_atExit[--g_atExitCount]();
}
}  // namespace

extern "C" int atexit(Action action) {
    if (g_atExitCount == (int)(sizeof g_atExit / sizeof g_atExit[0])) return -1;
    g_atExit[g_atExitCount++] = action;
    return 0;
}

extern "C" void SetupStartup() {
    RunConstructors();
    int code = AfxWinMain();
    RunDestructors();
    ExitProcess(static_cast<UINT>(code));
}

extern "C" void __cxa_pure_virtual() { ExitProcess(3); }

void* operator new(unsigned int size) { return HeapAlloc(GetProcessHeap(), 0, size ? size : 1); }
void* operator new[](unsigned int size) { return HeapAlloc(GetProcessHeap(), 0, size ? size : 1); }
void operator delete(void* p) { if (p) HeapFree(GetProcessHeap(), 0, p); }
void operator delete[](void* p) { if (p) HeapFree(GetProcessHeap(), 0, p); }
void operator delete(void* p, unsigned int) { if (p) HeapFree(GetProcessHeap(), 0, p); }
void operator delete[](void* p, unsigned int) { if (p) HeapFree(GetProcessHeap(), 0, p); }

extern "C" void* memcpy(void* to, const void* from, unsigned int n) {
    unsigned char* d = static_cast<unsigned char*>(to);
    const unsigned char* s = static_cast<const unsigned char*>(from);
    while (n--) *d++ = *s++;
    return to;
}

extern "C" void* memmove(void* to, const void* from, unsigned int n) {
    unsigned char* d = static_cast<unsigned char*>(to);
    const unsigned char* s = static_cast<const unsigned char*>(from);
    if (d < s) {
        while (n--) *d++ = *s++;
    } else {
        d += n;
        s += n;
        while (n--) *--d = *--s;
    }
    return to;
}

extern "C" void* memset(void* to, int value, unsigned int n) {
    unsigned char* d = static_cast<unsigned char*>(to);
    while (n--) *d++ = static_cast<unsigned char>(value);
    return to;
}

extern "C" int memcmp(const void* a, const void* b, unsigned int n) {
    const unsigned char* x = static_cast<const unsigned char*>(a);
    const unsigned char* y = static_cast<const unsigned char*>(b);
    for (; n; --n, ++x, ++y)
        if (*x != *y) return *x < *y ? -1 : 1;
    return 0;
}
