// File and directory helpers: the size of an open file by seeking, a whole
// file in one zero-terminated movable global block, and the directories above
// a path. They report nothing; their callers do, from the codes given here.
#include "support/Files.h"

// No result of _llseek is looked at: an error at the end seek is the size.
LONG GetFileSizeBySeek(HFILE file) {
    LONG position = _llseek(file, 0, FILE_CURRENT);
    LONG size = _llseek(file, 0, FILE_END);
    _llseek(file, position, FILE_BEGIN);
    return size;
}

// The block is allocated zeroed and one byte larger than the file, so the
// byte after the contents is the terminator. On a failure nothing stays open
// or allocated, and both outputs are null.
int LoadWholeFile(const char* path, HGLOBAL* block, char** text, LONG* sizeOut) {
    *block = nullptr;
    *text = nullptr;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -3;

    LONG size = GetFileSizeBySeek(static_cast<HFILE>(reinterpret_cast<INT_PTR>(file)));
    // A failed seek gives -1: such a file can't be read whole, and size + 1
    // would make a block of no bytes.
    if (size < 0) {
        CloseHandle(file);
        return -4;
    }

    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<SIZE_T>(size) + 1);
    if (!memory) {
        CloseHandle(file);
        return -1;
    }
    char* bytes = static_cast<char*>(GlobalLock(memory));
    if (!bytes) {
        GlobalFree(memory);
        CloseHandle(file);
        return -2;
    }

    DWORD read = 0;
    BOOL ok = ReadFile(file, bytes, static_cast<DWORD>(size), &read, nullptr);
    CloseHandle(file);
    if (!ok || read != static_cast<DWORD>(size)) {
        GlobalUnlock(memory);
        GlobalFree(memory);
        return -4;
    }
    *block = memory;
    *text = bytes;
    if (sizeOut) *sizeOut = size;
    return 0;
}

// Each prefix ending before a backslash, from the fourth character on, is made
// in turn; the part after the last backslash is left to the caller. An existing
// directory or file of that name counts as made. The backslash is always put
// back, so the path reads as on entry; on a failure the last error still holds
// the code returned.
int CreateDirectoryTree(char* path) {
    int n = lstrlenA(path);
    for (int i = 3; i < n; ++i) {
        if (path[i] != '\\') continue;
        path[i] = 0;
        BOOL made = CreateDirectoryA(path, nullptr);
        DWORD error = made ? 0 : GetLastError();
        path[i] = '\\';
        if (!made && error != ERROR_ALREADY_EXISTS) return static_cast<int>(error);
    }
    return 0;
}
