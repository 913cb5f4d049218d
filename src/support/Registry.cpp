// Registry values by key path. A walk takes the path apart at its backslashes,
// opens (or creates) one key per component below the root, and keeps every
// handle in a chain of heap nodes from the root down. RegReadValue and
// RegWriteValue walk, touch one value at the deepest key, and close the whole
// chain before they return, whatever happened, so no key stays open between
// calls. There is one chain for the module: the routines are not reentrant.
#include "support/Registry.h"

#include "support/CaseFold.h"

namespace {

// Every level of every path is opened for reading and writing alike, so a read
// also fails where the user could not write.
const REGSAM kKeyAccess = KEY_READ | KEY_WRITE;  // 0x2001F

// The chain of the walk in progress: chainHead holds the root, chainTail the
// deepest level so far (the parent of the next component). Null between calls.
KeyNode* chainHead = nullptr;
KeyNode* chainTail = nullptr;

KeyNode* NewNode(HKEY hkey) {
    KeyNode* node = static_cast<KeyNode*>(HeapAlloc(GetProcessHeap(), 0, sizeof(KeyNode)));
    if (node) {
        node->hkey = hkey;
        node->next = nullptr;
    }
    return node;
}

// Starts a chain at the root. False when its node can't be allocated.
bool StartChain(HKEY root) {
    KeyNode* node = NewNode(root);
    if (!node) {
        CloseKeyChain();
        return false;
    }
    chainHead = chainTail = node;
    return true;
}

// Walks path below root, opening each level (create false) or creating it
// (create true). On a failure the chain stays as far as it got; the node of
// the level that failed holds no handle. The caller closes the chain.
int WalkKeyPath(HKEY root, const char* path, REGSAM access, HKEY* result, bool create) {
    if (!StartChain(root)) return -1;
    const char* cursor = path;
    char component[MAX_PATH];
    while (*cursor) {
        NextField(&cursor, component, MAX_PATH, '\\');
        KeyNode* node = NewNode(nullptr);
        if (!node) return -1;
        chainTail->next = node;
        // The handle goes into the node only when the call gave one, so a
        // failed level never hands a stale value to RegCloseKey.
        HKEY key = nullptr;
        LONG rc;
        if (create) {
            DWORD disposition;
            rc = RegCreateKeyExA(chainTail->hkey, component, 0, const_cast<char*>(""), REG_OPTION_NON_VOLATILE,
                                 access, nullptr, &key, &disposition);
        } else {
            rc = RegOpenKeyExA(chainTail->hkey, component, 0, access, &key);
        }
        if (rc != ERROR_SUCCESS) return static_cast<int>(rc);
        node->hkey = key;
        chainTail = node;
    }
    *result = chainTail->hkey;
    return 0;
}

bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

}  // namespace

int OpenKeyPath(HKEY root, const char* path, REGSAM access, HKEY* result) {
    return WalkKeyPath(root, path, access, result, false);
}

int CreateKeyPath(HKEY root, const char* path, REGSAM access, HKEY* result) {
    return WalkKeyPath(root, path, access, result, true);
}

// Closes every handle of the chain, the root's included, and frees its nodes.
void CloseKeyChain() {
    KeyNode* node = chainHead;
    while (node) {
        KeyNode* next = node->next;
        if (node->hkey) RegCloseKey(node->hkey);
        HeapFree(GetProcessHeap(), 0, node);
        node = next;
    }
    chainHead = chainTail = nullptr;
}

// The stored type is not compared with type: any value is read into buffer.
// This program stores its strings without a terminating zero, and Windows 95
// hands such a value back as it is, so a text read is terminated here: in the
// byte after the data when the caller's size leaves room for it, otherwise the
// value counts as too large for the buffer.
int RegReadValue(HKEY root, const char* keyPath, const char* valueName, DWORD type, void* buffer, DWORD size,
                 DWORD* storedTypeOut) {
    HKEY key;
    int rc = OpenKeyPath(root, keyPath, kKeyAccess, &key);
    if (rc == 0) {
        DWORD storedType = type;
        DWORD got = size;
        BYTE* bytes = static_cast<BYTE*>(buffer);
        rc = static_cast<int>(RegQueryValueExA(key, valueName, nullptr, &storedType, bytes, &got));
        if (rc == 0 && bytes && (IsText(type) || IsText(storedType)) && (got == 0 || bytes[got - 1] != 0)) {
            if (got < size) bytes[got] = 0;
            else rc = ERROR_MORE_DATA;
        }
        if (rc == 0 && storedTypeOut) *storedTypeOut = storedType;
    }
    CloseKeyChain();
    return rc;
}

int RegWriteValue(HKEY root, const char* keyPath, const char* valueName, DWORD type, const void* data, DWORD size) {
    HKEY key;
    int rc = CreateKeyPath(root, keyPath, kKeyAccess, &key);
    if (rc == 0)
        rc = static_cast<int>(RegSetValueExA(key, valueName, 0, type, static_cast<const BYTE*>(data), size));
    CloseKeyChain();
    return rc;
}
