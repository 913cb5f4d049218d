// Scratch folders for the tests.
#include "Scratch.h"

#include <windows.h>

void RemoveTree(const std::string& directory) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((directory + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            std::string path = directory + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(directory.c_str());
}

RedirectedRoot::RedirectedRoot(HKEY root, const std::string& scratchKey) : m_root(root), m_scratch(scratchKey) {
    RegDeleteTreeA(HKEY_CURRENT_USER, m_scratch.c_str());
    m_ok = RegCreateKeyExA(HKEY_CURRENT_USER, m_scratch.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key,
                           nullptr) == ERROR_SUCCESS &&
           RegOverridePredefKey(m_root, m_key) == ERROR_SUCCESS;
}

RedirectedRoot::~RedirectedRoot() {
    RegOverridePredefKey(m_root, nullptr);
    if (m_key) RegCloseKey(m_key);
    RegDeleteTreeA(HKEY_CURRENT_USER, m_scratch.c_str());
}
