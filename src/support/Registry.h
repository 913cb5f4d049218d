// Registry values by key path: "Software\Microsoft\..." under a root key, each
// level opened (or created) in turn and the whole chain closed before returning.
// Result codes: 0, -1 when a chain node can't be allocated, else the Win32 code.
#ifndef SUPPORT_REGISTRY_H
#define SUPPORT_REGISTRY_H

#include <windows.h>

struct KeyNode {
    HKEY hkey;      // the root for the first node; null until a level is opened
    KeyNode* next;
};

int OpenKeyPath(HKEY root, const char* path, REGSAM access, HKEY* result);
int CreateKeyPath(HKEY root, const char* path, REGSAM access, HKEY* result);
void CloseKeyChain();

// Reads one value into buffer (size bytes). A string comes back zero-terminated
// within size; one that fills the buffer without room for the zero is ERROR_MORE_DATA.
// The type the value is stored with goes to *storedType when one is given.
int RegReadValue(HKEY root, const char* keyPath, const char* valueName, DWORD type, void* buffer, DWORD size,
                 DWORD* storedType = 0);
// Writes one value, creating the keys of the path as needed.
int RegWriteValue(HKEY root, const char* keyPath, const char* valueName, DWORD type, const void* data, DWORD size);

#endif
