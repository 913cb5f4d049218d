// What tests use to clean up after themselves.
#ifndef SETUP_SCRATCH_H
#define SETUP_SCRATCH_H

#include <windows.h>

#include <string>

// Deletes a folder with everything below it; a missing folder is fine.
void RemoveTree(const std::string& directory);

// For its lifetime, a root key of this process (HKEY_CLASSES_ROOT, say) is a
// scratch key below HKEY_CURRENT_USER, made empty first and deleted after, so
// a test writes there what the program would write under the real root.
class RedirectedRoot {
public:
    RedirectedRoot(HKEY root, const std::string& scratchKey);
    ~RedirectedRoot();
    HKEY key() const { return m_key; }
    bool ok() const { return m_ok; }

private:
    HKEY m_root;
    std::string m_scratch;
    HKEY m_key = nullptr;
    bool m_ok = false;
};

#endif
